#include "iso/iso_writer.h"
namespace ordexa {
void WriteIsoFile(PaySettingRecord&, const PaymentList&, std::string_view, std::string_view, bool, const FileSystem&) {}
}  // namespace ordexa
