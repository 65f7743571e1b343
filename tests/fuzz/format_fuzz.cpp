// The formatted texts of the format layer against the same texts built independently, each
// from its own reading of the bytes. FormatAmount with any amount and any descriptor (every
// separator, decimals and negative style, the writers' own descriptors among them) against
// 128-bit arithmetic: rounding on the first dropped digit alone, grouping, sign marks. The
// record formatter with any texts and numbers in every kind of field: left-aligned and
// zero-filled texts have exactly their width, right-aligned texts at least theirs, numbers
// are as the C library prints them, texts end at a NUL; the buffered file output holds
// exactly the formatted bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "format/amount.h"
#include "format/record_output.h"
#include "fuzz_support.h"

namespace {

using namespace ordexa;

std::string ExpectedAmountText(std::int64_t amount, const AmountFormat& format) {
  const bool negative = amount < 0;
  __int128 magnitude = amount;
  if (negative) magnitude = -magnitude;
  const int decimals = std::clamp(format.decimals, 0, 4);
  __int128 scale = 1;
  for (int i = decimals; i < 4; ++i) scale *= 10;
  __int128 kept = magnitude / scale;
  if (decimals < 4 && (magnitude / (scale / 10)) % 10 >= 5) ++kept;

  __int128 unit = 1;
  for (int i = 0; i < decimals; ++i) unit *= 10;
  std::string integer_digits = std::to_string(static_cast<long long>(kept / unit));
  std::string integer_part;
  for (std::size_t i = 0; i < integer_digits.size(); ++i) {
    if (i != 0 && (integer_digits.size() - i) % 3 == 0 && format.thousands_separator != 0) {
      integer_part += format.thousands_separator;
    }
    integer_part += integer_digits[i];
  }
  std::string text = integer_part;
  if (decimals != 0) {
    std::string fraction = std::to_string(static_cast<long long>(kept % unit));
    fraction.insert(0, static_cast<std::size_t>(decimals) - fraction.size(), '0');
    if (format.decimal_separator != 0) text += format.decimal_separator;
    text += fraction;
  }
  switch (format.negative_style) {
    case 0: return negative ? "-" + text : text;
    case 1: return negative ? text + "-" : text;
    case 2: return negative ? "(" + text + ")" : text;
    case 3: return text + (negative ? " H" : " S");
    default: return text;
  }
}

void CheckAmount(FuzzedDataProvider& provider) {
  const std::int64_t amount = provider.ConsumeIntegral<std::int64_t>();
  AmountFormat format;
  switch (provider.ConsumeIntegralInRange(0, 3)) {
    case 0: format = kDtaAmountFormat; break;
    case 1: format = kPointAmountFormat; break;
    case 2: break;  // the defaults
    default:
      format.thousands_separator = provider.ConsumeIntegral<char>();
      format.decimal_separator = provider.ConsumeIntegral<char>();
      format.decimals = provider.ConsumeIntegral<std::int32_t>();
      format.negative_style = provider.ConsumeIntegral<std::int32_t>();
  }
  const std::string expected = ExpectedAmountText(amount, format);
  const std::string text = FormatAmount(amount, &format);
  FUZZ_CHECK(text == expected, text + " expected " + expected);
  FUZZ_CHECK(text.size() < 32, text);
  FUZZ_CHECK(FormatAmountText(amount, format).view() == text, text);
  if (format.thousands_separator == '\'' && format.decimal_separator == '.' && format.decimals == 2 &&
      format.negative_style == 0) {
    FUZZ_CHECK(FormatAmount(amount) == text, text);
  }
}

std::string UpToNul(const std::string& text) { return text.substr(0, text.find('\0')); }

// A text field: right-aligned unless `left`, filled with `fill` to `width`, cut after
// `precision` characters when that is not negative.
std::string TextField(const std::string& text, bool left, char fill, std::size_t width, long precision) {
  std::string value = UpToNul(text);
  if (precision >= 0 && value.size() > static_cast<std::size_t>(precision)) value.resize(static_cast<std::size_t>(precision));
  if (value.size() >= width) return value;
  const std::string padding(width - value.size(), fill);
  return left ? value + padding : padding + value;
}

std::string Printed(const char* format, long value) {
  char text[64];
  const int length = std::snprintf(text, sizeof text, format, value);
  return std::string(text, static_cast<std::size_t>(length));
}

void CheckRecord(FuzzedDataProvider& provider) {
  const std::int32_t number = provider.ConsumeIntegral<std::int32_t>();
  const std::int16_t short_number = provider.ConsumeIntegral<std::int16_t>();
  const char character = provider.ConsumeIntegral<char>();
  const std::string first = provider.ConsumeRandomLengthString(300);
  const std::string second = provider.ConsumeRandomLengthString(300);
  const std::string third = provider.ConsumeRemainingBytesAsString();

  const std::string expected = TextField(first, true, ' ', 24, 24) + TextField(second, false, ' ', 12, -1) +
                               TextField(third, false, '0', 9, 9) + Printed("%05.5ld", number) +
                               Printed("%04.4hd", short_number) + Printed("%02ld", number) + character +
                               TextField(" ", false, ' ', 59, -1) + TextField(first, true, ' ', 650, 650) +
                               UpToNul(second) + "\n";
  const std::string formatted = FormatRecordText(
      "%-24.24s%12s%09.9s%05.5ld%04.4hd%02d%c%59s%-650.650s%s\n", first, second, third, number, short_number, number,
      character, " ", first, second);
  FUZZ_CHECK(formatted == expected, formatted);

  // The same pieces through the buffered output, one field per call, and then closed.
  fuzz::MemoryFileSystem files;
  FileStatus status;
  const FileHandle handle = files.Create("record", status);
  RecordOutput output(files, handle);
  for (int round = 0; round < 3; ++round) {
    WriteRecordText(output, "%-24.24s%12s", first, second);
    WriteRecordText(output, "%09.9s", third);
    WriteRecordText(output, "%05.5ld%04.4hd%02d%c", number, short_number, number, character);
    WriteRecordText(output, "%59s%-650.650s", " ", first);
    WriteRecordText(output, "%s\n", second);
  }
  output.Close();
  const std::string* written = files.Closed("record");
  FUZZ_CHECK(written != nullptr && *written == expected + expected + expected, "buffered output");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider amount_provider(data, size);
  CheckAmount(amount_provider);
  FuzzedDataProvider record_provider(data, size);
  CheckRecord(record_provider);
  return 0;
}
