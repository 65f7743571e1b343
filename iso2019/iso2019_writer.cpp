// The 2019 ISO 20022 writer (being built).
#include "iso2019/iso2019_writer.h"

namespace ordexa {

std::vector<Iso2019Finding> CheckIso2019Batch(const PayBatch&, const PaySettingView&, std::string_view, bool) {
  return {};
}

void WriteIso2019File(const PayBatch&, std::string_view, std::string_view, bool, const FileSystem&) {}

}  // namespace ordexa
