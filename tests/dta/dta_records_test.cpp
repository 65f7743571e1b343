// Tests of the DTA payment records: the fields each payment kind places in its segments.
#include "dta/dta_records.h"

#include <gtest/gtest.h>

#include "platform/clock.h"
#include "tests/dta/segments.h"

namespace ordexa {
namespace {

using dta_test::B;
using dta_test::Field;
using dta_test::Left;
using dta_test::SamplePayment;
using dta_test::SampleSettings;
using dta_test::Segments;

// The record a payment of its type gets, with the clock fixed at 2 April 2024.
std::string Record(const PaymentRecord& payment, const PaySettingRecord& settings = SampleSettings(),
                   std::int32_t entry_sequence = 1) {
  ScopedClock clock(FixedClock(SYSTEMTIME{.wYear = 2024, .wMonth = 4, .wDay = 2}));
  return dta_test::WriteToMemory([&](RecordOutput& out) {
    if (payment.type >= payESR15 && payment.type <= payESR17) WriteTa826(out, settings, payment, entry_sequence);
    else if (payment.type == payIban) WriteTa836(out, settings, payment, entry_sequence);
    else WriteTa827(out, settings, payment, entry_sequence);
  });
}

TEST(DtaTransactionNumber, IsM01Then0001ThenAtLeastFourDigits) {
  EXPECT_EQ("M0100010005", DtaTransactionNumber(5));
  EXPECT_EQ("M0100019999", DtaTransactionNumber(9999));
  EXPECT_EQ("M01000112345", DtaTransactionNumber(12345));
  // The reference field keeps the first 11 characters.
  EXPECT_EQ("M0100011234", Field(Segments(Record(SamplePayment(payManual), SampleSettings(), 12345))[0], 59, 11));
}

TEST(DebitAccountText, CompactsOnlyDomesticIbans) {
  const struct {
    const char* account;
    const char* expected;
  } cases[] = {
      {"ch93 0076 2011 6238 5295 7", "CH9300762011623852957"},
      {"LI21 0881 0000 2324 013A A", "LI21088100002324013AA"},
      {"CH93 0076 2011 6238 5295 8", "CH93 0076 2011 6238 5295 8"},  // check digits wrong
      {"de89 3704 0044 0532 0130 00", "DE89 3704 0044 0532 0130 00"},
      {"12-3456-7", "12-3456-7"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, DebitAccountText(c.account)) << c.account;
}

TEST(WriteTa826, ParticipantAndReferenceByEsrType) {
  const struct {
    std::int32_t type;
    const char* account;
    const char* esr;
    const char* participant;  // segment 03, 6-14
    std::string reference;    // segment 03, 95-128
  } cases[] = {
      {payESR16, "1-2345-6", "12345", "010023456", std::string(22, '0') + "12345" + B(7)},
      {payESR15, "12345", "12345678901234567890", "000012345", "123456789012345" + B(19)},
      {payESR17, "01-162", "", "010001626", std::string(27, '0') + B(7)},
      {payESR16, "1234567890", "1 2", "123456789", std::string(24, '0') + "1 2" + B(7)},
  };
  for (const auto& c : cases) {
    PaymentRecord payment = SamplePayment(c.type);
    payment.bank_dst.account = c.account;
    payment.esr = c.esr;
    const std::vector<std::string> segments = Segments(Record(payment));
    ASSERT_EQ(3u, segments.size());
    EXPECT_EQ(c.participant, Field(segments[2], 6, 9)) << c.esr;
    EXPECT_EQ(c.reference, Field(segments[2], 95, 34)) << c.esr;
  }
}

TEST(WriteTa827, BeneficiaryAccountAndSegmentsByPaymentType) {
  const std::string receiver =
      Left("HANS MEIER", 24) + Left("C/O ANNCHEN", 24) + Left("DORFSTRASSE 5", 24) + Left("3000 BERN", 24);
  const std::string trustee = Left("TREUHAND AG", 24) + B(24) + Left("SEEWEG 2", 24) + Left("6300 ZUG", 24);
  const struct {
    std::int32_t type;
    std::size_t segment_count;
    std::string clearing;  // segment 01, 9-20
    std::string account;   // segment 03, 6-32
    std::string lines;     // segment 03, 33-128
  } cases[] = {
      {payManual, 4, B(12), Left("1-2345-6", 27), receiver},
      {payRedBank, 4, Left("01-162", 12), Left("1-2345-6", 27), receiver},
      {payRedPost, 4, B(12), Left("010023456", 27), receiver},
      {payRedTreuhand, 5, B(12), Left("010001626", 27), trustee},
      {payPostmandat, 4, B(12), B(27), receiver},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> segments = Segments(Record(SamplePayment(c.type)));
    ASSERT_EQ(c.segment_count, segments.size()) << c.type;
    EXPECT_EQ(c.clearing, Field(segments[0], 9, 12)) << c.type;
    EXPECT_EQ(c.account, Field(segments[2], 6, 27)) << c.type;
    EXPECT_EQ(c.lines, Field(segments[2], 33, 96)) << c.type;
  }
  // The trust payment's final beneficiary follows in segment 05.
  EXPECT_EQ("05/C/" + Left("1-2345-6", 27) + receiver, Segments(Record(SamplePayment(payRedTreuhand)))[4]);
}

TEST(DtaRecords, SalaryFlagOnlyInTa827AndTa836) {
  PaySettingRecord salary = SampleSettings();
  salary.is_salary = true;
  for (std::int32_t type : {payManual, payIban, payESR15}) {
    const std::string expected = type == payESR15 ? "0" : "1";
    EXPECT_EQ(expected, Field(Record(SamplePayment(type), salary), 52, 1)) << type;
    EXPECT_EQ("0", Field(Record(SamplePayment(type)), 52, 1)) << type;
  }
}

TEST(DtaRecords, CutsLongAmountsReasonsAndNames) {
  PaymentRecord payment = SamplePayment(payManual, 12345678901200);
  payment.reason = std::string(100, 'a') + std::string(20, 'b');
  payment.receiver.name1 = "Hans-Peter Ferdinand Meier-Zimmermann von Wattenwyl";
  const struct {
    std::int32_t type;
    std::size_t segment, pos, width;
    std::string expected;
  } cases[] = {
      {payManual, 0, 103, 13, "1234567890,1 "},
      {payIban, 0, 103, 16, "1234567890,12   "},
      {payManual, 3, 3, 113, std::string(100, 'A') + std::string(12, 'B') + " "},
      {payIban, 4, 4, 36, std::string(35, 'A') + " "},
      {payManual, 2, 33, 24, "HANS-PETER FERDINAND MEI"},
      {payIban, 3, 3, 35, "HANS-PETER FERDINAND MEIER-ZIMMERMA"},
      {payESR16, 2, 15, 20, "HANS-PETER FERDINAND"},
  };
  for (const auto& c : cases) {
    payment.type = c.type;
    EXPECT_EQ(c.expected, Field(Segments(Record(payment))[c.segment], c.pos, c.width)) << c.type << " " << c.pos;
  }
}

TEST(WriteTa836, BankIdentification) {
  const struct {
    const char* account;
    const char* bic;
    std::string segment03;  // positions 3-107
  } cases[] = {
      {"ch93 0076 2011 6238 5295 7", "UBSWCHZH80A", "D" + B(70) + Left("CH9300762011623852957", 34)},
      {"LI21 0881 0000 2324 013A A", "", "D" + B(70) + Left("LI21088100002324013AA", 34)},
      {"de89 3704 0044 0532 0130 00", "cobadeffxxx",
       "A" + Left("COBADEFFXXX", 35) + B(35) + Left("DE89370400440532013000", 34)},
      {"de89 3704 0044 0532 0130 00", "", "D" + Left("COMMERZBANK", 35) + Left("KOLN", 35) + Left("DE89370400440532013000", 34)},
      {"1-2345-6", "", "D" + Left("COMMERZBANK", 35) + Left("KOLN", 35) + B(34)},
  };
  for (const auto& c : cases) {
    PaymentRecord payment = SamplePayment(payIban);
    payment.bank_dst.account = c.account;
    payment.bank_dst.bic = c.bic;
    EXPECT_EQ(c.segment03, Field(Segments(Record(payment))[2], 3, 105)) << c.account << " / " << c.bic;
  }
}

TEST(WriteTa836, CurrencyAndChargeRule) {
  const struct {
    const char* currency;
    std::int32_t cost_code;
    const char* currency_field;  // segment 01, 100-102
    const char* charge_rule;     // segment 05, 109
  } cases[] = {
      {"", payCostSrc, "CHF", "0"}, {"eur", payCostDst, "EUR", "1"}, {"usdx", payCostBoth, "USD", "2"}, {"CHF", 7, "CHF", "7"},
  };
  for (const auto& c : cases) {
    PaymentRecord payment = SamplePayment(payIban);
    payment.currency = c.currency;
    payment.cost_code = c.cost_code;
    const std::vector<std::string> segments = Segments(Record(payment));
    EXPECT_EQ(c.currency_field, Field(segments[0], 100, 3)) << c.currency;
    EXPECT_EQ(c.charge_rule, Field(segments[4], 109, 1)) << c.cost_code;
  }
}

TEST(DtaRecords, DateIn2105ShiftsTheRestOfTheSegment) {
  const struct {
    std::int32_t type;
    std::size_t length;
    std::size_t date_pos;
    std::string after_date;  // the following fields, one position later
  } cases[] = {
      {payManual, 4 * 128 + 1, 3, B(12) + "00000240402"},
      {payESR16, 3 * 128 + 1, 3, B(12) + "00000240402"},
      {payIban, 5 * 128 + 1, 94, "CHF250,00"},
  };
  for (const auto& c : cases) {
    PaymentRecord payment = SamplePayment(c.type);
    payment.date = 74907.0;  // 31 January 2105
    const std::string record = Record(payment);
    EXPECT_EQ(c.length, record.size()) << c.type;
    EXPECT_EQ("1050131" + c.after_date, Field(record, c.date_pos, 7 + c.after_date.size())) << c.type;
  }
}

}  // namespace
}  // namespace ordexa
