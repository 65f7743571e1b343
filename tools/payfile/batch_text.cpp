// Message helpers of the batch reader: paths, positions, shortened values.
#include "tools/payfile/batch_text.h"

#include <algorithm>
#include <cstring>

namespace ordexa::payfile {

std::string JsonPath::ToString() const {
  if (parent == nullptr) return {};
  std::string text = parent->ToString();
  if (is_element) {
    text += '[' + std::to_string(index) + ']';
  } else {
    if (!text.empty()) text += '.';
    text += key;
  }
  return text;
}

TextPosition PositionOf(std::string_view text, std::size_t offset) { return PositionOf(text, offset, 0, {}); }

TextPosition PositionOf(std::string_view text, std::size_t offset, std::size_t from, TextPosition at_from) {
  offset = std::min(offset, text.size());
  from = std::min(from, offset);
  // Lines by the library's byte search; columns only on the last line.
  TextPosition position = at_from;
  std::size_t line_start = from;
  while (const void* found = std::memchr(text.data() + line_start, '\n', offset - line_start)) {
    ++position.line;
    position.column = 1;
    line_start = static_cast<std::size_t>(static_cast<const char*>(found) - text.data()) + 1;
  }
  for (std::size_t i = line_start; i < offset; ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) ++position.column;
  }
  return position;
}

std::string PositionText(std::string_view text, std::size_t offset) { return PositionText(PositionOf(text, offset)); }

std::string PositionText(const TextPosition& position) {
  return " at line " + std::to_string(position.line) + ", column " + std::to_string(position.column);
}

std::optional<std::size_t> FindStringFault(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size()) {
    if (text[i] != '"') {
      ++i;
      continue;
    }
    const std::size_t opening = i++;
    for (;;) {
      if (i >= text.size()) return opening;
      const auto byte = static_cast<unsigned char>(text[i]);
      if (byte == '"') break;
      if (byte < 0x20) return i;
      i += byte == '\\' ? 2 : 1;
    }
    ++i;
  }
  return std::nullopt;
}

std::string QuotedToken(std::string_view token) {
  constexpr std::size_t kShown = 60;
  while (!token.empty() &&
         (token.back() == ' ' || token.back() == '\t' || token.back() == '\n' || token.back() == '\r')) {
    token.remove_suffix(1);
  }
  if (token.size() <= kShown) return std::string(token);
  std::size_t cut = kShown;
  while (cut > 0 && (static_cast<unsigned char>(token[cut]) & 0xC0) == 0x80) --cut;
  return std::string(token.substr(0, cut)) + "...";
}

std::string KeyList(std::span<const std::string_view> keys) {
  std::string list;
  for (const std::string_view key : keys) {
    if (!list.empty()) list += ", ";
    list += key;
  }
  return list;
}

}  // namespace ordexa::payfile
