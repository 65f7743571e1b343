#include "dta/dta_writer.h"
namespace ordexa {
void WriteDtaFile(const PaySettingRecord&, const PaymentList&, std::string_view, const FileSystem&) {}
}  // namespace ordexa
