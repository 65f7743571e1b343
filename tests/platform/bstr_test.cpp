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

TEST(SysAllocString, CopiesUpToTheNulWithPrefixAndTerminator) {
  BSTR text = SysAllocString(u"Zahlung");
  ASSERT_NE(nullptr, text);
  EXPECT_EQ(7u, SysStringLen(text));
  EXPECT_EQ(14u, BytePrefix(text));
  EXPECT_EQ(u'\0', text[7]);
  EXPECT_EQ(std::u16string_view(u"Zahlung"), std::u16string_view(text, 7));
  SysFreeString(text);

  BSTR empty = SysAllocString(u"");
  ASSERT_NE(nullptr, empty);
  EXPECT_EQ(0u, SysStringLen(empty));
  EXPECT_EQ(u'\0', empty[0]);
  SysFreeString(empty);

  EXPECT_EQ(nullptr, SysAllocString(nullptr));
}

TEST(SysAllocStringLen, KeepsEmbeddedNulsAndZeroFillsWithoutText) {
  const char16_t source[] = {u'a', u'\0', u'b', u'c'};
  BSTR text = SysAllocStringLen(source, 3);
  ASSERT_NE(nullptr, text);
  EXPECT_EQ(3u, SysStringLen(text));
  EXPECT_EQ(std::u16string_view(u"a\0b", 3), std::u16string_view(text, 3));
  EXPECT_EQ(u'\0', text[3]);
  SysFreeString(text);

  BSTR blank = SysAllocStringLen(nullptr, 5);
  ASSERT_NE(nullptr, blank);
  EXPECT_EQ(5u, SysStringLen(blank));
  EXPECT_EQ(std::u16string_view(u"\0\0\0\0\0\0", 6), std::u16string_view(blank, 6));
  SysFreeString(blank);
}

TEST(SysAllocStringLen, RefusesLengthsTheBytePrefixCannotHold) {
  EXPECT_EQ(nullptr, SysAllocStringLen(nullptr, 0x80000000u));
  EXPECT_EQ(nullptr, SysAllocStringLen(nullptr, 0xFFFFFFFFu));
}

TEST(SysStringLen, TreatsNullAsEmptyAndFreeIgnoresNull) {
  EXPECT_EQ(0u, SysStringLen(nullptr));
  SysFreeString(nullptr);
}

}  // namespace
