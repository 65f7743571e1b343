// Tests of automation strings: length prefix, terminating NUL, embedded NULs.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string_view>

#include "oleauto.h"

namespace {

TEST(SysAllocString, StoresTheByteLengthBeforeAndANulAfterTheText) {
  const char16_t with_nul[] = {u'a', u'\0', u'b', u'c'};
  const std::pair<BSTR, std::u16string_view> cases[] = {  // expected text with its terminating NUL
      {SysAllocString(u"Zahlung"), std::u16string_view(u"Zahlung", 8)},
      {SysAllocString(u""), std::u16string_view(u"", 1)},
      {SysAllocStringLen(with_nul, 3), std::u16string_view(u"a\0b", 4)},
      {SysAllocStringLen(nullptr, 2), std::u16string_view(u"\0\0", 3)},
  };
  for (const auto& [text, expected] : cases) {
    std::uint32_t prefix = 0;
    std::memcpy(&prefix, reinterpret_cast<const char*>(text) - 4, 4);
    EXPECT_EQ((expected.size() - 1) * 2, prefix);
    EXPECT_EQ(expected.size() - 1, SysStringLen(text));
    EXPECT_EQ(expected, std::u16string_view(text, expected.size()));
    SysFreeString(text);
  }
  EXPECT_EQ(nullptr, SysAllocString(nullptr));
  EXPECT_EQ(0u, SysStringLen(nullptr));
  EXPECT_EQ(nullptr, SysAllocStringLen(nullptr, 0x80000000u));  // the byte length would not fit the prefix
}

}  // namespace
