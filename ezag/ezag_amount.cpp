// The EZAG amount field: 13 characters, no decimal point.
#include "ezag/ezag_amount.h"

#include <string_view>

#include "format/amount.h"
#include "format/record_output.h"

namespace ordexa {
namespace {

// The integer part (everything before the first ".", a "-" included) and the decimals.
struct AmountParts {
  std::string_view integer;
  std::string_view decimals;
};

AmountParts SplitAmountText(std::string_view text) {
  const std::size_t point = text.find('.');
  if (point == std::string_view::npos) return {text, "00"};
  return {text.substr(0, point), text.substr(point + 1)};
}

}  // namespace

ShortRecordText EzagAmountText(std::int64_t amount) {
  const AmountText rendered = FormatAmountText(amount, kPointAmountFormat);
  const AmountParts parts = SplitAmountText(rendered.view());
  // Zero fill of a text: "-12" becomes "00000000-12", the sign stays next to the digits.
  return FormatShortRecordText("%011.11s%-2.2s", parts.integer, parts.decimals);
}

std::string FormatEzagAmount(std::int64_t amount) { return std::string(EzagAmountText(amount).view()); }

bool EzagAmountFits(std::int64_t amount) {
  const AmountText rendered = FormatAmountText(amount, kPointAmountFormat);
  return SplitAmountText(rendered.view()).integer.size() <= kEzagAmountIntegerWidth;
}

}  // namespace ordexa
