// The record formatter with any texts and numbers in every kind of field: left-aligned and
// zero-filled texts have exactly their width, right-aligned texts at least theirs, numbers
// are as the C library prints them, texts end at a NUL; the buffered file output holds
// exactly the formatted bytes.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "format/record_output.h"
#include "fuzz_support.h"

namespace {

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace ordexa;
  FuzzedDataProvider provider(data, size);
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
  return 0;
}
