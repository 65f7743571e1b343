// Tests of automation strings: length prefix, terminating NUL, embedded NULs.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string_view>

#include "oleauto.h"

namespace {

std::uint32_t BytePrefix(BSTR text) {
  std::uint32_t prefix = 0;
  std::memcpy(&prefix, reinterpret_cast<const char*>(text) - 4, 4);
  return prefix;
}

TEST(SysAllocString, StoresTheByteLengthBeforeAndANulAfterTheText) {
  struct Case {
    BSTR text;
    std::u16string_view expected;  // with the terminating NUL
  };
  const char16_t with_nul[] = {u'a', u'\0', u'b', u'c'};
  const Case cases[] = {
      {SysAllocString(u"Zahlung"), std::u16string_view(u"Zahlung", 8)},
      {SysAllocString(u""), std::u16string_view(u"", 1)},
      {SysAllocStringLen(with_nul, 3), std::u16string_view(u"a\0b", 4)},
      {SysAllocStringLen(nullptr, 2), std::u16string_view(u"\0\0", 3)},
  };
  for (const Case& c : cases) {
    ASSERT_NE(nullptr, c.text);
    const UINT length = static_cast<UINT>(c.expected.size() - 1);
    EXPECT_EQ(length, SysStringLen(c.text));
    EXPECT_EQ(length * 2, BytePrefix(c.text));
    EXPECT_EQ(c.expected, std::u16string_view(c.text, c.expected.size()));
    SysFreeString(c.text);
  }
}

TEST(SysAllocString, HandlesNullAndLengthsThePrefixCannotHold) {
  EXPECT_EQ(nullptr, SysAllocString(nullptr));
  EXPECT_EQ(0u, SysStringLen(nullptr));
  SysFreeString(nullptr);
  EXPECT_EQ(nullptr, SysAllocStringLen(nullptr, 0x80000000u));
  EXPECT_EQ(nullptr, SysAllocStringLen(nullptr, 0xFFFFFFFFu));
}

}  // namespace
