#include "ezag/ezag_writer.h"
namespace ordexa {
void WriteEzagFile(const PaySettingRecord&, const PaymentList&, std::string_view, const FileSystem&) {}
}  // namespace ordexa
