// UTF-8 to UTF-16 and into caller strings, the way an automation client's text arrives.
#include "tools/payfile/caller_text.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <optional>

#include "model/text_conversion.h"

namespace ordexa::payfile {
namespace {

constexpr char16_t kReplacementCharacter = u'\uFFFD';

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

void AppendCodePoint(std::u16string& out, std::uint32_t code_point) {
  if (code_point < 0x10000) {
    out.push_back(static_cast<char16_t>(code_point));
    return;
  }
  code_point -= 0x10000;
  out.push_back(static_cast<char16_t>(0xD800 + (code_point >> 10)));
  out.push_back(static_cast<char16_t>(0xDC00 + (code_point & 0x3FF)));
}

// The length of the valid UTF-8 sequence at `at` and its code point; 0 when the bytes
// there form none (overlong forms, encoded surrogates and values past U+10FFFF included).
std::size_t DecodeUtf8At(std::string_view utf8, std::size_t at, std::uint32_t& code_point) {
  const auto lead = static_cast<unsigned char>(utf8[at]);
  std::size_t length = 0;
  std::uint32_t minimum = 0;
  if (lead < 0x80) {
    code_point = lead;
    return 1;
  } else if ((lead & 0xE0) == 0xC0) {
    length = 2;
    code_point = lead & 0x1Fu;
    minimum = 0x80;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    code_point = lead & 0x0Fu;
    minimum = 0x800;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    code_point = lead & 0x07u;
    minimum = 0x10000;
  } else {
    return 0;
  }
  if (at + length > utf8.size()) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    const auto byte = static_cast<unsigned char>(utf8[at + k]);
    if (!IsContinuation(byte)) return 0;
    code_point = (code_point << 6) | (byte & 0x3Fu);
  }
  const bool valid =
      code_point >= minimum && code_point <= 0x10FFFF && (code_point < 0xD800 || code_point > 0xDFFF);
  return valid ? length : 0;
}

}  // namespace

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  std::size_t i = 0;
  while (i < utf8.size()) {
    std::uint32_t code_point = 0;
    const std::size_t length = DecodeUtf8At(utf8, i, code_point);
    if (length == 0) {
      out.push_back(kReplacementCharacter);
      ++i;
      continue;
    }
    AppendCodePoint(out, code_point);
    i += length;
  }
  return out;
}

std::optional<std::size_t> FirstInvalidUtf8(std::string_view utf8) {
  std::uint32_t code_point = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    const std::size_t length = DecodeUtf8At(utf8, i, code_point);
    if (length == 0) return i;
    i += length;
  }
  return std::nullopt;
}

CallerText::CallerText(std::string_view utf8) {
  const std::u16string wide = Utf8ToUtf16(utf8);
  if (wide.size() > 0x7FFFFFF0u) throw std::bad_alloc();
  text_ = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
  if (text_ == nullptr) throw std::bad_alloc();
}

CallerText::~CallerText() { SysFreeString(text_); }

std::string AnsiTextFromUtf8(std::string_view utf8) { return ToAnsiText(CallerText(utf8).get()); }

void AnsiTextFromUtf8Into(std::string_view utf8, std::string& out) {
  // Code page 1252 holds U+0001..U+007F and U+00A0..U+00FF at the byte of their code
  // point, so the platform's conversion gives exactly those bytes; U+0080..U+009F are
  // left to it, as is everything else. A U+0000 ends the text, as it ends a caller's string.
  out.resize(utf8.size());
  char* next = out.data();
  const auto* byte = reinterpret_cast<const unsigned char*>(utf8.data());
  const unsigned char* const end = byte + utf8.size();
  while (byte != end) {
    if (end - byte >= 8) {
      // Eight ASCII bytes, none of them NUL, at a time.
      std::uint64_t word;
      std::memcpy(&word, byte, sizeof word);
      constexpr std::uint64_t kHighBits = 0x8080808080808080u, kLowBits = 0x0101010101010101u;
      if ((word & kHighBits) == 0 && ((word - kLowBits) & ~word & kHighBits) == 0) {
        std::memcpy(next, byte, sizeof word);
        next += sizeof word;
        byte += sizeof word;
        continue;
      }
    }
    const unsigned char lead = *byte;
    if (lead - 1u < 0x7Fu) {
      *next++ = static_cast<char>(lead);
      ++byte;
    } else if (lead == 0) {
      break;
    } else if (end - byte >= 2 && lead == 0xC2 && byte[1] >= 0xA0 && byte[1] <= 0xBF) {
      *next++ = static_cast<char>(byte[1]);
      byte += 2;
    } else if (end - byte >= 2 && lead == 0xC3 && byte[1] >= 0x80 && byte[1] <= 0xBF) {
      *next++ = static_cast<char>(byte[1] + 0x40);
      byte += 2;
    } else {
      out = AnsiTextFromUtf8(utf8);
      return;
    }
  }
  out.resize(static_cast<std::size_t>(next - out.data()));
}

}  // namespace ordexa::payfile
