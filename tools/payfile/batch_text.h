// Places in the batch text for messages: the JSON path of a value, line and column of a
// byte, and values quoted as the batch spells them.
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace ordexa::payfile {

// Where a value stands in the batch: a key below its parent or an element of an array.
// Lives on the stack of the reading functions; rendered only when a message needs it.
struct JsonPath {
  const JsonPath* parent = nullptr;
  std::string_view key;
  std::size_t index = 0;
  bool is_element = false;

  JsonPath Key(std::string_view name) const { return {this, name, 0, false}; }
  JsonPath Element(std::size_t position) const { return {this, {}, position, true}; }

  // ToString(): "payments[3].BankDst.Account"; the root is the empty text.
  std::string ToString() const;
};

struct TextPosition {
  std::size_t line = 1;    // counted from 1
  std::size_t column = 1;  // characters (not bytes) from the line's start, counted from 1
};

// PositionOf()
// Line and column of the byte at `offset` of a UTF-8 text (an offset past the end counts
// as the end). Lines end at "\n"; continuation bytes do not count as columns.
// Example: PositionOf("{\n  \"\xC3\xA4\": x", 8) is line 2, column 6 (the colon).
TextPosition PositionOf(std::string_view text, std::size_t offset);

// PositionOf() counting on from `from`, whose position is `at_from`: the bytes before
// `from` are not read (a reader may have given them back to the system already).
// Example: PositionOf(text, 8, 2, PositionOf(text, 2)) == PositionOf(text, 8).
TextPosition PositionOf(std::string_view text, std::size_t offset, std::size_t from, TextPosition at_from);

// PositionText(): " at line L, column C" for PositionOf(text, offset).
std::string PositionText(std::string_view text, std::size_t offset);
std::string PositionText(const TextPosition& position);

// FindStringFault()
// The first fault inside the JSON strings of `text` that a tokenizer stops at: a control
// character (below 0x20) inside a string, or the opening quote of a string never closed.
// Strings are found by their quotes, backslash escapes respected. Returns its offset,
// nothing when the strings are sound.
// Example: FindStringFault("{\"a\": \"b}") == 6.
std::optional<std::size_t> FindStringFault(std::string_view text);

// QuotedToken()
// A value's JSON text as the batch spells it, without trailing white space; texts longer
// than 60 bytes are shortened with "..." (never inside a UTF-8 sequence).
// Example: QuotedToken("\"12,50\"  ") == "\"12,50\"".
std::string QuotedToken(std::string_view token);

// KeyList(): "PayType, Date, Amount" for a list of keys.
std::string KeyList(std::span<const std::string_view> keys);

}  // namespace ordexa::payfile
