// The thread's ANSI code page on Windows: the system's own conversions between UTF-16,
// the thread's ANSI code page (CP_THREAD_ACP, 1252 on Western European systems) and UTF-8.
#include <windows.h>

#include <limits>
#include <new>

#include "platform/cp1252.h"

namespace ordexa {
namespace {

constexpr bool IsHighSurrogate(OLECHAR unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
constexpr bool IsLowSurrogate(OLECHAR unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

// Sizes handed to the system are `int`; longer texts go through in pieces.
constexpr std::size_t kMaxPiece = std::numeric_limits<int>::max() / 4;

// Converts one run without surrogate pairs; each unit gives one byte in a single-byte
// code page, so the result has the run's length.
void AppendAnsi(std::string& out, WideStringView run) {
  while (!run.empty()) {
    const std::size_t piece = run.size() < kMaxPiece ? run.size() : kMaxPiece;
    const int length = static_cast<int>(piece);
    const int needed = ::WideCharToMultiByte(CP_THREAD_ACP, 0, run.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) throw std::bad_alloc();
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(needed));
    ::WideCharToMultiByte(CP_THREAD_ACP, 0, run.data(), length, out.data() + start, needed, nullptr, nullptr);
    run.remove_prefix(piece);
  }
}

void AppendWide(WideString& out, std::string_view text, UINT code_page) {
  while (!text.empty()) {
    const std::size_t piece = text.size() < kMaxPiece ? text.size() : kMaxPiece;
    const int length = static_cast<int>(piece);
    const int needed = ::MultiByteToWideChar(code_page, 0, text.data(), length, nullptr, 0);
    if (needed <= 0) throw std::bad_alloc();
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(needed));
    ::MultiByteToWideChar(code_page, 0, text.data(), length, out.data() + start, needed);
    text.remove_prefix(piece);
  }
}

}  // namespace

std::string WideToCp1252(WideStringView text) {
  // The system converts a character outside the basic plane unit by unit into two '?';
  // the component writes one '?' per character, so valid surrogate pairs are taken out
  // of the runs handed to the system.
  std::string bytes;
  bytes.reserve(text.size());
  std::size_t run_start = 0;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (!IsHighSurrogate(text[i]) || !IsLowSurrogate(text[i + 1])) continue;
    AppendAnsi(bytes, text.substr(run_start, i - run_start));
    bytes.push_back('?');
    ++i;
    run_start = i + 1;
  }
  if (run_start < text.size()) AppendAnsi(bytes, text.substr(run_start));
  return bytes;
}

std::size_t WideToCp1252Into(WideStringView text, char* out) {
  // As WideToCp1252: valid surrogate pairs become one '?' each, the runs between them go
  // to the system straight into `out`, which has room for one byte per unit.
  char* const start = out;
  const char* const end = out + text.size();
  const auto convert_run = [&](WideStringView run) {
    while (!run.empty()) {
      const std::size_t piece = run.size() < kMaxPiece ? run.size() : kMaxPiece;
      const std::size_t room = static_cast<std::size_t>(end - out);
      const int written = ::WideCharToMultiByte(CP_THREAD_ACP, 0, run.data(), static_cast<int>(piece), out,
                                                static_cast<int>(room < kMaxPiece ? room : kMaxPiece), nullptr,
                                                nullptr);
      if (written <= 0) return false;
      out += written;
      run.remove_prefix(piece);
    }
    return true;
  };
  std::size_t run_start = 0;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (!IsHighSurrogate(text[i]) || !IsLowSurrogate(text[i + 1])) continue;
    if (!convert_run(text.substr(run_start, i - run_start)) || out == end) return kTextDoesNotFit;
    *out++ = '?';
    ++i;
    run_start = i + 1;
  }
  if (run_start < text.size() && !convert_run(text.substr(run_start))) return kTextDoesNotFit;
  return static_cast<std::size_t>(out - start);
}

std::size_t Cp1252ToWideInto(std::string_view text, OLECHAR* out) {
  // No code page gives more units than bytes, so the room always suffices.
  OLECHAR* const start = out;
  while (!text.empty()) {
    const std::size_t piece = text.size() < kMaxPiece ? text.size() : kMaxPiece;
    const int length = static_cast<int>(piece);
    out += ::MultiByteToWideChar(CP_THREAD_ACP, 0, text.data(), length, out, length);
    text.remove_prefix(piece);
  }
  return static_cast<std::size_t>(out - start);
}

WideString Cp1252ToWide(std::string_view text) {
  WideString wide;
  wide.reserve(text.size());
  AppendWide(wide, text, CP_THREAD_ACP);
  return wide;
}

OLECHAR Cp1252ToUnicode(unsigned char byte) {
  const char text[1] = {static_cast<char>(byte)};
  OLECHAR unit = 0;
  ::MultiByteToWideChar(CP_THREAD_ACP, 0, text, 1, &unit, 1);
  return unit;
}

void AppendCp1252AsUtf8(std::string& out, std::string_view text) {
  // ASCII runs are the same in every ANSI code page and in UTF-8 and are copied whole;
  // the rest goes through UTF-16.
  std::size_t run_start = 0;
  std::size_t i = 0;
  while (i < text.size()) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      ++i;
      continue;
    }
    out.append(text.data() + run_start, i - run_start);
    std::size_t end = i;
    while (end < text.size() && end - i < kMaxPiece && static_cast<unsigned char>(text[end]) >= 0x80) ++end;
    WideString wide;
    AppendWide(wide, text.substr(i, end - i), CP_THREAD_ACP);
    const int length = static_cast<int>(wide.size());
    const int needed = ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) throw std::bad_alloc();
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(needed));
    ::WideCharToMultiByte(CP_UTF8, 0, wide.data(), length, out.data() + start, needed, nullptr, nullptr);
    i = run_start = end;
  }
  out.append(text.data() + run_start, text.size() - run_start);
}

char* AppendCp1252ByteAsUtf8(char* out, unsigned char byte) {
  // One code page character is one UTF-16 unit, which takes at most three UTF-8 bytes.
  const char text[1] = {static_cast<char>(byte)};
  OLECHAR unit = 0;
  if (::MultiByteToWideChar(CP_THREAD_ACP, 0, text, 1, &unit, 1) != 1) unit = static_cast<OLECHAR>('?');
  return out + ::WideCharToMultiByte(CP_UTF8, 0, &unit, 1, out, 3, nullptr, nullptr);
}

std::string Cp1252ToUtf8(std::string_view text) {
  std::string utf8;
  AppendCp1252AsUtf8(utf8, text);
  return utf8;
}

}  // namespace ordexa
