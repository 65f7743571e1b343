// Places in the batch text: line and column, faults inside strings, shortened values.
#include "tools/payfile/batch_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>

namespace ordexa::payfile {
namespace {

TEST(PositionOf, CountsLinesAndCharactersNotBytes) {
  const std::string text = "{\n  \"\xC3\xA4\": x\n}";
  const struct {
    std::size_t offset, line, column;
  } cases[] = {
      {0, 1, 1}, {1, 1, 2}, {2, 2, 1}, {5, 2, 4}, {7, 2, 5}, {8, 2, 6}, {12, 3, 1}, {99, 3, 2},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.offset);
    const TextPosition position = PositionOf(text, c.offset);
    EXPECT_EQ(c.line, position.line);
    EXPECT_EQ(c.column, position.column);
    // Counting on from any earlier place gives the same.
    for (std::size_t from = 0; from <= std::min<std::size_t>(c.offset, text.size()); ++from) {
      const TextPosition continued = PositionOf(text, c.offset, from, PositionOf(text, from));
      EXPECT_EQ(c.line, continued.line) << from;
      EXPECT_EQ(c.column, continued.column) << from;
    }
  }
}

TEST(FindStringFault, FindsUnclosedStringsAndControlCharactersInsideStrings) {
  const struct {
    std::string text;
    std::optional<std::size_t> fault;
  } cases[] = {
      {"{\"a\": \"ok\", \"b\": [1, true]}", std::nullopt},
      {"{\"a\": \"x\\\\\"}", std::nullopt},  // an escaped backslash, then the closing quote
      {"{\"a\": \"b}", 6},
      {"{\"a\": \"b\\\"}", 6},               // the escaped quote does not close it
      {"{\"a\": \"x\ty\"}", 8},
      {"{\"a\": \"x\ny\"}", 8},
      {"\t{\"a\":\n1}", std::nullopt},       // white space outside strings is no fault
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.text));
    EXPECT_EQ(c.fault, FindStringFault(c.text));
  }
}

TEST(QuotedToken, DropsTrailingBlanksAndShortensLongValuesOnACharacterBoundary) {
  const std::string sixty(59, 'a');
  const struct {
    std::string token, quoted;
  } cases[] = {
      {"\"12,50\" \n", "\"12,50\""},
      {sixty + "b", sixty + "b"},
      {sixty + "bc", sixty + "b..."},
      {sixty + "\xC3\xA4x", sixty + "..."},  // never half of the two bytes of a character
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.token);
    EXPECT_EQ(c.quoted, QuotedToken(c.token));
  }
}

}  // namespace
}  // namespace ordexa::payfile
