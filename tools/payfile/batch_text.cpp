// Message helpers of the batch reader: paths, positions, shortened values.
#include "tools/payfile/batch_text.h"

#include <algorithm>

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

TextPosition PositionOf(std::string_view text, std::size_t offset) {
  offset = std::min(offset, text.size());
  TextPosition position;
  for (std::size_t i = 0; i < offset; ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if (byte == '\n') {
      ++position.line;
      position.column = 1;
    } else if ((byte & 0xC0) != 0x80) {
      ++position.column;
    }
  }
  return position;
}

std::string PositionText(std::string_view text, std::size_t offset) {
  const TextPosition position = PositionOf(text, offset);
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
