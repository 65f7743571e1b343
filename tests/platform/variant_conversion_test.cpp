// Tests of VariantChangeType's conversions: one row per case, the origin of each expected
// value beside it:
//   [W] a value the platform gives on Windows (asserted by conformance tests run there)
//   [D] a documented rule of the platform, applied as written
//   [R] a rule of the platform applied to a value no published vector covers
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "oleauto.h"
#include "platform/clock.h"
#include "platform/variant_test_support.h"

namespace ordexa::test {
namespace {

struct Row {
  Source source;
  std::string expected;
};

void ExpectConversions(VARTYPE type, std::initializer_list<Row> rows, USHORT flags = 0) {
  for (const Row& row : rows) {
    VARIANT shown = Make(row.source);
    const std::string source = Describe(shown);
    VariantClear(&shown);
    EXPECT_EQ(row.expected, Convert(row.source, type, flags)) << "from " << source;
  }
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr std::int64_t kI8Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t kI8Min = std::numeric_limits<std::int64_t>::min();

TEST(VariantChangeType, ToText) {
  ExpectConversions(VT_BSTR, {
      {Empty(), "BSTR "},                                       // [D] a non-null empty text
      {Null(), "DISP_E_TYPEMISMATCH"},                          // [D]
      {Error(5), "DISP_E_TYPEMISMATCH"},                        // [R] no conversion from VT_ERROR
      {I2(-32768), "BSTR -32768"},                              // [D] plain digits, no grouping
      {I4(1234567), "BSTR 1234567"},                            // [D]
      {I8(kI8Min), "BSTR -9223372036854775808"},                // [R]
      {UI8(-1), "BSTR 18446744073709551615"},                   // [R]
      {Bool(-1), "BSTR -1"}, {Bool(0), "BSTR 0"},               // [D] as VT_I2 without flags
      {R8(0.5), "BSTR 0.5"},                                    // [W]
      {R8(1234.5), "BSTR 1234.5"},                              // [R]
      {R8(1.0 / 3), "BSTR 0.333333333333333"},                  // [D] 15 significant digits
      {R8(123456789012345678.0), "BSTR 1.23456789012346E+17"},  // [D]
      {R8(1e15), "BSTR 1E+15"}, {R8(1e14), "BSTR 100000000000000"},  // [R] %G picks the exponent form
      {R8(1e-5), "BSTR 0.00001"},                               // [D] small exponents written out
      {R8(1.5e-10), "BSTR 0.00000000015"},                      // [D]
      {R8(1.234e-14), "BSTR 1.234E-14"},                        // [D] would need more than 15 digits
      {R8(-0.0), "BSTR 0"},                                     // [D] no negative zero
      {R4(1.0 / 3), "BSTR 0.3333333"},                          // [D] 7 significant digits
      {R4(16777216.0), "BSTR 1.677722E+07"},                    // [D]
      {Cy(0), "BSTR 0"}, {Cy(10000), "BSTR 1"}, {Cy(15000), "BSTR 1.5"},  // [W]
      {Cy(-15000), "BSTR -1.5"}, {Cy(9), "BSTR 0.0009"},        // [W]
      {Cy(kI8Max), "BSTR 922337203685477.5807"},                // [W]
      {Cy(kI8Min), "BSTR -922337203685477.5808"},               // [R]
      {Dec(150, 2, true), "BSTR -1.5"},                         // [R] exact, trailing zeros dropped
      {Dec(5, 28), "BSTR 0.0000000000000000000000000005"},      // [R]
      {Date(0.0), "BSTR 12:00:00 AM"},                          // [W]
      {Date(3.34), "BSTR 1/2/1900 8:09:36 AM"},                 // [W]
      {Date(365.0), "BSTR 12/30/1900"},                         // [W]
      {Date(365.25), "BSTR 12/30/1900 6:00:00 AM"},             // [W]
      {Date(1461.5), "BSTR 12/31/1903 12:00:00 PM"},            // [W]
      {Date(-49192.24), "BSTR 4/24/1765 5:45:36 AM"},           // [W]
      {Date(-657434.0), "BSTR 1/1/100"},                        // [W]
      {Date(2958465.0), "BSTR 12/31/9999"},                     // [W]
      {Date(2958466.0), "E_INVALIDARG"},                        // [D] out of range
      {Date(-0.75), "BSTR 6:00:00 PM"},                         // [R] day part 0: the time alone
      {Date(-1.25), "BSTR 12/29/1899 6:00:00 AM"},              // [D] negative days count backwards
  });
  // Booleans as words with either flag, English in this locale. [D]
  ExpectConversions(VT_BSTR, {{Bool(-1), "BSTR True"}, {Bool(0), "BSTR False"}}, VARIANT_ALPHABOOL);
  ExpectConversions(VT_BSTR, {{Bool(1), "BSTR True"}, {Bool(0), "BSTR False"}}, VARIANT_LOCALBOOL);
}

TEST(VariantChangeType, ToI4RoundsHalfToEven) {
  ExpectConversions(VT_I4, {
      // The platform's rounding vectors, from a double, from text and from currency. [W]
      {R8(-1.5), "I4 -2"}, {R8(-0.6), "I4 -1"}, {R8(-0.5), "I4 0"}, {R8(-0.4), "I4 0"}, {R8(0.4), "I4 0"},
      {R8(0.5), "I4 0"}, {R8(0.6), "I4 1"}, {R8(1.5), "I4 2"}, {R8(2.5), "I4 2"},
      {Str(u"-1.5"), "I4 -2"}, {Str(u"-0.6"), "I4 -1"}, {Str(u"-0.5"), "I4 0"}, {Str(u"0.5"), "I4 0"},
      {Str(u"0.6"), "I4 1"}, {Str(u"1.5"), "I4 2"}, {Str(u"2.5"), "I4 2"},
      {Cy(-15000), "I4 -2"}, {Cy(-6000), "I4 -1"}, {Cy(-5000), "I4 0"}, {Cy(5000), "I4 0"}, {Cy(6000), "I4 1"},
      {Cy(15000), "I4 2"}, {Cy(25000), "I4 2"},
      // Every other source rounds the same way. [R]
      {R4(3.5), "I4 4"}, {Date(2.5), "I4 2"}, {Dec(25, 1), "I4 2"}, {Dec(35, 1, true), "I4 -4"},
      {Str(u"2.5000000000000000001"), "I4 3"},  // more than a half, however far down
  });
}

TEST(VariantChangeType, ToI4OverflowsAtTheEdges) {
  ExpectConversions(VT_I4, {
      {R8(-2147483648.5), "I4 -2147483648"}, {R8(-2147483648.51), "DISP_E_OVERFLOW"},  // [W]
      {R8(2147483647.49), "I4 2147483647"}, {R8(2147483647.5), "DISP_E_OVERFLOW"},     // [W]
      {R8(kNaN), "DISP_E_OVERFLOW"},                                                  // [R]
      {I8(2147483648), "DISP_E_OVERFLOW"}, {I8(-2147483648), "I4 -2147483648"},        // [D]
      {UI4(4294967295), "DISP_E_OVERFLOW"},                                           // [R]
      {Str(u"2147483647"), "I4 2147483647"}, {Str(u"2147483648"), "DISP_E_OVERFLOW"},  // [W]
      {Str(u"-2147483648"), "I4 -2147483648"}, {Str(u"99999999999999999999999"), "DISP_E_OVERFLOW"},  // [R]
      {Cy(21474836475000), "DISP_E_OVERFLOW"}, {Cy(21474836474999), "I4 2147483647"},  // [R]
  });
}

TEST(VariantChangeType, ToI4ReadsNumberText) {
  ExpectConversions(VT_I4, {
      // White space, signs before or after, parentheses, '$', thousands, exponents. [D]
      {Str(u" 12 "), "I4 12"}, {Str(u"+12"), "I4 12"}, {Str(u"12-"), "I4 -12"}, {Str(u"(12)"), "I4 -12"},
      {Str(u"1,000"), "I4 1000"}, {Str(u"1,00,0"), "I4 1000"}, {Str(u"$12"), "I4 12"}, {Str(u"12$"), "I4 12"},
      {Str(u"-$12"), "I4 -12"}, {Str(u"1e3"), "I4 1000"}, {Str(u"1e+01"), "I4 10"}, {Str(u"1.5e-20"), "I4 0"},
      {Str(u".5e1"), "I4 5"}, {Str(u"007"), "I4 7"},
      {Str(u"&H1F"), "I4 31"}, {Str(u"&o17"), "I4 15"},  // [D] hexadecimal and octal
      {Str(u"&HFFFFFFFF"), "I4 -1"},                      // [R] a full-width pattern is negative
      // Not a number: the whole text must be used. [D]
      {Str(u""), "DISP_E_TYPEMISMATCH"}, {Str(u"   "), "DISP_E_TYPEMISMATCH"}, {NullStr(), "DISP_E_TYPEMISMATCH"},
      {Str(u",1"), "DISP_E_TYPEMISMATCH"}, {Str(u"12a"), "DISP_E_TYPEMISMATCH"}, {Str(u"1 2"), "DISP_E_TYPEMISMATCH"},
      {Str(u"0x10"), "DISP_E_TYPEMISMATCH"}, {Str(u"1e"), "DISP_E_TYPEMISMATCH"}, {Str(u"+-1"), "DISP_E_TYPEMISMATCH"},
      {Str(u"(12"), "DISP_E_TYPEMISMATCH"}, {Str(u"-(12)"), "DISP_E_TYPEMISMATCH"}, {Str(u"&H"), "DISP_E_TYPEMISMATCH"},
      {Str(u"&H1.5"), "DISP_E_TYPEMISMATCH"}, {Str(u"."), "DISP_E_TYPEMISMATCH"},
      {Str(u"0,1"), "I4 1"},  // [D] ',' is the thousands separator in en-US, so this is 01
  });
  ExpectConversions(VT_I4, {
      {Empty(), "I4 0"}, {Null(), "DISP_E_TYPEMISMATCH"}, {Error(0), "DISP_E_TYPEMISMATCH"},  // [D]
      {Bool(-1), "I4 -1"}, {UI1(255), "I4 255"}, {I2(-7), "I4 -7"}, {Int(7), "I4 7"},         // [D]
  });
}

TEST(VariantChangeType, ToOtherIntegerWidths) {
  // Each width accepts min - 0.5 up to max + 0.5 from a float and exactly its range from an
  // integer; true is -1, all bits set in the unsigned types. [R]/[W]
  ExpectConversions(VT_I1, {{I4(127), "I1 127"}, {I4(128), "DISP_E_OVERFLOW"}, {R8(-128.5), "I1 -128"},
                            {R8(-128.51), "DISP_E_OVERFLOW"}, {R8(127.5), "DISP_E_OVERFLOW"}, {Bool(-1), "I1 -1"}});
  ExpectConversions(VT_UI1, {{Bool(-1), "UI1 255"},  // [W]
                             {I2(-1), "DISP_E_OVERFLOW"}, {R8(-0.5), "UI1 0"}, {R8(-0.51), "DISP_E_OVERFLOW"},
                             {R8(255.5), "DISP_E_OVERFLOW"}, {Str(u"&HFF"), "UI1 255"}, {I1(-1), "DISP_E_OVERFLOW"}});
  ExpectConversions(VT_I2, {{Str(u"&HFFFF"), "I2 -1"}, {Str(u"&H10000"), "DISP_E_OVERFLOW"},
                            {UI2(32768), "DISP_E_OVERFLOW"}, {R8(-32768.5), "I2 -32768"}});
  ExpectConversions(VT_UI2, {{Bool(-1), "UI2 65535"}, {I4(65536), "DISP_E_OVERFLOW"}, {I4(65535), "UI2 65535"}});
  ExpectConversions(VT_UI4, {{I4(-1), "DISP_E_OVERFLOW"}, {Bool(-1), "UI4 4294967295"},
                             {R8(4294967295.49), "UI4 4294967295"}, {R8(4294967295.5), "DISP_E_OVERFLOW"}});
  ExpectConversions(VT_I8, {
      {R8(4611686018427387904.0), "DISP_E_OVERFLOW"},                // [D] only 63 bits from a double
      {R8(-4611686018427387904.0), "I8 -4611686018427387904"},       // [D]
      {UI8(kI8Max), "I8 9223372036854775807"}, {UI8(-1), "DISP_E_OVERFLOW"},
      {Str(u"9223372036854775807"), "I8 9223372036854775807"}, {Str(u"9223372036854775808"), "DISP_E_OVERFLOW"},
      {Str(u"-9223372036854775808"), "I8 -9223372036854775808"}, {Cy(-25000), "I8 -2"}, {Cy(kI8Min), "I8 -922337203685478"},
  });
  ExpectConversions(VT_UI8, {{I8(-1), "DISP_E_OVERFLOW"}, {Str(u"18446744073709551615"), "UI8 18446744073709551615"},
                             {Str(u"18446744073709551616"), "DISP_E_OVERFLOW"}, {R8(1.8446744073709552e19), "DISP_E_OVERFLOW"},
                             {Dec(25, 1), "UI8 2"}, {Dec(5, 1, true), "UI8 0"}});
  // VT_INT and VT_UINT convert as VT_I4 and VT_UI4 and keep their own tag. [D]
  ExpectConversions(VT_INT, {{R8(2.5), "INT 2"}, {Str(u"-3"), "INT -3"}});
  ExpectConversions(VT_UINT, {{I4(-1), "DISP_E_OVERFLOW"}, {Str(u"4294967295"), "UINT 4294967295"}});
}

TEST(VariantChangeType, ToCurrencyRoundsToFourDecimals) {
  ExpectConversions(VT_CY, {
      {Empty(), "CY 0"}, {Null(), "DISP_E_TYPEMISMATCH"}, {Bool(-1), "CY -10000"},           // [D]
      {I4(1), "CY 10000"}, {I2(-3), "CY -30000"}, {UI1(255), "CY 2550000"},                  // [D]
      {I8(922337203685476), "CY 9223372036854760000"}, {I8(922337203685477), "DISP_E_OVERFLOW"},  // [W]
      {I8(-922337203685477), "DISP_E_OVERFLOW"}, {UI8(922337203685477), "DISP_E_OVERFLOW"},       // [W]/[R]
      {R4(1.00009f), "CY 10001"}, {R4(-1.00005f), "CY -10000"}, {R4(0.00005f), "CY 0"},       // [W]
      {R4(-0.00005f), "CY 0"}, {R4(0.00009f), "CY 1"},                                       // [W]
      {R8(4611686018427387648.0), "DISP_E_OVERFLOW"}, {R8(kNaN), "DISP_E_OVERFLOW"},         // [W]/[D]
      {R8(1.03125), "CY 10312"}, {R8(1.09375), "CY 10938"},  // [D] exact halves go to the even neighbour
      {R8(-1.03125), "CY -10312"}, {R8(922337203685477.0), "CY 9223372036854770000"},        // [R]
      {Date(1.5), "CY 15000"}, {Dec(123456, 5), "CY 12346"}, {Dec(125, 5), "CY 12"},          // [R]
      {Dec(125, 5, true), "CY -12"}, {Dec(kI8Max, 0), "DISP_E_OVERFLOW"},                     // [R]
  });
  ExpectConversions(VT_CY, {
      {Str(u"1,234.5"), "CY 12345000"}, {Str(u"$1.50"), "CY 15000"}, {Str(u"(2.25)"), "CY -22500"},  // [D]
      // Text is rounded on its decimal digits, half to even. [R]
      {Str(u"0.00015"), "CY 2"}, {Str(u"0.00025"), "CY 2"}, {Str(u"0.00035"), "CY 4"}, {Str(u"0.000250001"), "CY 3"},
      {Str(u"-0.00005"), "CY 0"}, {Str(u"1e-4"), "CY 1"}, {Str(u"12e2"), "CY 12000000"},
      {Str(u"922337203685477.5807"), "CY 9223372036854775807"}, {Str(u"922337203685477.5808"), "DISP_E_OVERFLOW"},
      {Str(u"-922337203685477.5808"), "CY -9223372036854775808"}, {Str(u"1e15"), "DISP_E_OVERFLOW"},
      {Str(u"1,5"), "CY 150000"}, {Str(u"abc"), "DISP_E_TYPEMISMATCH"}, {NullStr(), "DISP_E_TYPEMISMATCH"},  // [D]
  });
}

TEST(VariantChangeType, ToDateFromNumbers) {
  ExpectConversions(VT_DATE, {
      {Empty(), "DATE 0"}, {Bool(-1), "DATE -1"}, {Null(), "DISP_E_TYPEMISMATCH"},              // [D]
      {I4(2958465), "DATE 2958465"}, {I4(2958466), "DISP_E_OVERFLOW"},                          // [D]
      {I4(-657434), "DATE -657434"}, {I4(-657435), "DISP_E_OVERFLOW"}, {I8(1) , "DATE 1"},      // [D]
      {R8(2958465.99), "DATE 2958465.99"}, {R8(2958466.0), "DISP_E_OVERFLOW"},                  // [D]
      {R8(-657434.99), "DATE -657434.99"}, {R8(-657435.0), "DISP_E_OVERFLOW"},                  // [D]
      {R8(kNaN), "DISP_E_OVERFLOW"}, {Cy(15000), "DATE 1.5"}, {Cy(kI8Max), "DISP_E_OVERFLOW"},  // [R]
      {I2(-5), "DATE -5"}, {Dec(15, 1), "DATE 1.5"},                                            // [D]/[R]
  });
}

TEST(VariantChangeType, ToDateFromText) {
  ScopedClock clock(FixedClock({.wYear = 2023, .wMonth = 3, .wDay = 15}));
  constexpr double kMismatch = -1e9;
  const std::pair<std::u16string_view, double> cases[] = {
      {u"6/30/2011 01:20:34 PM", 40724.55594907407},  // [W]
      {u"2013-05-14 02:04:12", 41408.08625},          // [W]
      {u"1 am", 1.0 / 24},                            // [W] a time alone is on day 0
      {u"13-1-1970", 25581.0}, {u"1970-1-13", 25581.0},  // [W] any order that makes a date
      {u"13:00 AM", 13.0 / 24}, {u"13:00 PM", 13.0 / 24},  // [W]
      {u"02.01.1970", kMismatch}, {u"0.0", kMismatch},   // [W] '.' separates times in en-US
      {u"2013-05-14 02:04:12.017", kMismatch},           // [W] no fractional seconds
      {u"12:00 AM", 0.0}, {u"12:30 PM", 12.5 / 24}, {u"1.30 pm", 13.5 / 24},  // [R]
      {u"January 5, 2020", 43835.0}, {u"5 jan 2020", 43835.0}, {u"Sunday, January 5, 2020", 43835.0},  // [D]
      {u"1/2/29", 47120.0}, {u"1/2/50", 18265.0}, {u"12/31/49", 54788.0},  // [D] two-digit years
      {u"4/5", 45021.0},                                 // [D] month/day of the current year
      {u"2/30/2020", kMismatch}, {u"24:00", kMismatch}, {u"12:60", kMismatch},  // [R] no such day or time
      {u"", kMismatch}, {u"abc", kMismatch}, {u"5", kMismatch}, {u"1/2/3/4", kMismatch},  // [R]
      {u"1:2:3:4", kMismatch}, {u"12:", kMismatch}, {u"1/1/10000", kMismatch},           // [R]
  };
  for (const auto& [text, expected] : cases) {
    VARIANT from = Make(Str(text));
    VARIANT to;
    VariantInit(&to);
    const HRESULT hr = VariantChangeType(&to, &from, 0, VT_DATE);
    if (expected == kMismatch) {
      EXPECT_EQ(DISP_E_TYPEMISMATCH, hr) << Narrow(text);
    } else {
      EXPECT_EQ(S_OK, hr) << Narrow(text);
      EXPECT_EQ(VT_DATE, to.vt);
      EXPECT_NEAR(expected, to.date, 1e-9) << Narrow(text);
    }
    VariantClear(&from);
  }
}

TEST(VariantChangeType, ToBool) {
  ExpectConversions(VT_BOOL, {
      // Every nonzero value is VARIANT_TRUE (-1), never 1. [D]
      {I4(5), "BOOL -1"}, {I4(0), "BOOL 0"}, {UI1(255), "BOOL -1"}, {R8(0.1), "BOOL -1"}, {R8(-0.0), "BOOL 0"},
      {Cy(1), "BOOL -1"}, {Dec(0, 3), "BOOL 0"}, {Dec(1, 28), "BOOL -1"}, {Date(0.0), "BOOL 0"},
      {Empty(), "BOOL 0"}, {Null(), "DISP_E_TYPEMISMATCH"}, {Dec(1, 29), "E_INVALIDARG"},
      // Text: the marked words exactly, the English words in any case, else a number. [W]
      {Str(u"#TRUE#"), "BOOL -1"}, {Str(u"#FALSE#"), "BOOL 0"}, {Str(u"#False#"), "DISP_E_TYPEMISMATCH"},
      {Str(u"TRUE"), "BOOL -1"}, {Str(u"fAlSe"), "BOOL 0"}, {Str(u"0"), "BOOL 0"}, {Str(u"-1"), "BOOL -1"},
      {Str(u"+1"), "BOOL -1"}, {Str(u"0.1"), "BOOL -1"}, {Str(u"On"), "DISP_E_TYPEMISMATCH"},
      {Str(u"Yes"), "DISP_E_TYPEMISMATCH"}, {NullStr(), "DISP_E_TYPEMISMATCH"},
      {Str(u" true"), "DISP_E_TYPEMISMATCH"}, {Str(u"faux"), "DISP_E_TYPEMISMATCH"},  // [R]
  });
}

TEST(VariantChangeType, ToFloatingPointAndDecimal) {
  ExpectConversions(VT_R8, {
      {Cy(15000), "R8 1.5"}, {Bool(-1), "R8 -1"}, {Dec(15, 1, true), "R8 -1.5"}, {Str(u"1.5e-20"), "R8 1.5e-20"},
      {Str(u"1e400"), "DISP_E_OVERFLOW"}, {Str(u"1e-400"), "R8 0"}, {I8(kI8Min), "R8 -9223372036854775808"},
      {Str(u"0.1"), "R8 0.1"}, {Date(2.25), "R8 2.25"}, {Empty(), "R8 0"},
  });
  ExpectConversions(VT_R4, {{R8(1e39), "DISP_E_OVERFLOW"}, {R8(0.5), "R4 0.5"}, {Str(u"3.4e38"), "R4 3.4e+38"},
                            {I4(16777217), "R4 16777216"}});
  ExpectConversions(VT_DECIMAL, {
      {Bool(-1), "DEC 1/10^0"},  // [D] the coercion gives 1, not -1
      {Cy(15000), "DEC 15000/10^4"}, {I8(kI8Min), "DEC -9223372036854775808/10^0"}, {Str(u"1.50"), "DEC 15/10^1"},
      {R8(0.1), "DEC 1/10^1"}, {R8(1.0 / 3), "DEC 333333333333333/10^15"},  // [R] 15 significant digits
      {Str(u"79228162514264337593543950335"), "DEC 18446744073709551615+hi4294967295/10^0"},
      {Str(u"79228162514264337593543950336"), "DISP_E_OVERFLOW"},
      {Str(u"0.00000000000000000000000000015"), "DEC 2/10^28"},  // [R] beyond 28 places, half to even
      {Str(u"-7.9228162514264337593543950335"), "DEC -18446744073709551615+hi4294967295/10^28"},
  });
}

TEST(VariantChangeType, ToEmptyAndNull) {
  // The value is dropped; VT_NULL cannot become VT_EMPTY, VT_ERROR neither. [D]
  ExpectConversions(VT_EMPTY, {{I4(5), "EMPTY"}, {Str(u"x"), "EMPTY"}, {Null(), "DISP_E_TYPEMISMATCH"},
                               {Error(1), "DISP_E_TYPEMISMATCH"}});
  ExpectConversions(VT_NULL, {{Str(u"x"), "NULL"}, {Null(), "NULL"}, {Empty(), "NULL"}});
  ExpectConversions(VT_ERROR, {{I4(5), "DISP_E_TYPEMISMATCH"}, {Error(5), "vt 10"}});
}

}  // namespace
}  // namespace ordexa::test
