// Tests of the DTA payment records: the fields each payment kind places in its segments.
#include "dta/dta_records.h"

#include <gtest/gtest.h>

#include "tests/dta/segments.h"

namespace ordexa::dta_test {
namespace {

std::vector<std::string> RecordOf(const PaymentRecord& payment) { return Segments(DtaFile(PaymentList{payment})); }

TEST(DtaRecords, TransactionNumberAndDebitAccount) {
  EXPECT_EQ("M0100010005", DtaTransactionNumber(5));
  EXPECT_EQ("M01000112345", DtaTransactionNumber(12345));  // the record keeps its first 11
  EXPECT_EQ("CH9300762011623852957", DebitAccountText("ch93 0076 2011 6238 5295 7"));
  EXPECT_EQ("LI21088100002324013AA", DebitAccountText("LI21 0881 0000 2324 013A A"));
  EXPECT_EQ("CH93 0076 2011 6238 5295 8", DebitAccountText("ch93 0076 2011 6238 5295 8"));  // check digits wrong
  EXPECT_EQ("DE89 3704 0044 0532 0130 00", DebitAccountText("de89 3704 0044 0532 0130 00"));
  EXPECT_EQ("12-3456-7", DebitAccountText("12-3456-7"));
}

TEST(WriteTa826, ParticipantAndReferenceByEsrType) {
  const struct {
    std::int32_t type;
    const char *account, *esr, *participant;  // participant: segment 03, 6-14
    std::string reference;                     // segment 03, 95-128
  } cases[] = {
      {payESR16, "1-2345-6", "12345", "010023456", std::string(22, '0') + "12345" + B(7)},
      {payESR15, "12345", "12345678901234567890", "000012345", "123456789012345" + B(19)},
      {payESR17, "1234567890", "", "123456789", std::string(27, '0') + B(7)},
  };
  for (const auto& c : cases) {
    PaymentRecord payment = SamplePayment(c.type);
    payment.bank_dst.account = c.account;
    payment.esr = c.esr;
    const std::vector<std::string> segments = RecordOf(payment);
    ASSERT_EQ(4u, segments.size()) << c.type;
    EXPECT_EQ(c.participant, Field(segments[2], 6, 9)) << c.type;
    EXPECT_EQ(c.reference, Field(segments[2], 95, 34)) << c.type;
  }
}

TEST(WriteTa827, BeneficiaryByPaymentType) {
  const std::string receiver =
      Left("HANS MEIER", 24) + Left("C/O ANNCHEN", 24) + Left("DORFSTRASSE 5", 24) + Left("3000 BERN", 24);
  const std::string trustee = Left("TREUHAND AG", 24) + B(24) + Left("SEEWEG 2", 24) + Left("6300 ZUG", 24);
  const struct {
    std::int32_t type;
    std::size_t segment_count;
    std::string clearing, account, lines;  // segment 01, 9-20; segment 03, 6-32 and 33-128
  } cases[] = {
      {payManual, 5, B(12), Left("1-2345-6", 27), receiver},
      {payRedBank, 5, Left("01-162", 12), Left("1-2345-6", 27), receiver},
      {payRedPost, 5, B(12), Left("010023456", 27), receiver},
      {payRedTreuhand, 6, B(12), Left("010001626", 27), trustee},
      {payPostmandat, 5, B(12), B(27), receiver},
  };
  for (const auto& c : cases) {
    const std::vector<std::string> segments = RecordOf(SamplePayment(c.type));
    ASSERT_EQ(c.segment_count, segments.size()) << c.type;
    EXPECT_EQ(c.clearing, Field(segments[0], 9, 12)) << c.type;
    EXPECT_EQ(c.account, Field(segments[2], 6, 27)) << c.type;
    EXPECT_EQ(c.lines, Field(segments[2], 33, 96)) << c.type;
  }
  EXPECT_EQ("05/C/" + Left("1-2345-6", 27) + receiver, RecordOf(SamplePayment(payRedTreuhand))[4]);
}

TEST(DtaRecords, CutsLongAmountsReasonsAndNames) {
  PaymentRecord payment = SamplePayment(payManual, 12345678901200);
  payment.reason = std::string(100, 'a') + std::string(20, 'b');
  payment.receiver.name1 = "Hans-Peter Ferdinand Meier-Zimmermann";
  const struct {
    std::int32_t type;
    std::size_t segment, pos, width;
    std::string expected;
  } cases[] = {
      {payManual, 0, 103, 13, "1234567890,1 "},
      {payIban, 0, 103, 16, "1234567890,12   "},
      {payManual, 3, 3, 113, std::string(100, 'A') + "BBBBBBBBBBBB "},
      {payIban, 4, 4, 36, std::string(35, 'A') + " "},
      {payESR16, 2, 15, 21, "HANS-PETER FERDINANDC"},
      {payManual, 2, 33, 25, "HANS-PETER FERDINAND MEIC"},
      {payIban, 3, 3, 36, "HANS-PETER FERDINAND MEIER-ZIMMERMAD"},
  };
  for (const auto& c : cases) {  // each field cut, then the first character behind it
    payment.type = c.type;
    EXPECT_EQ(c.expected, Field(RecordOf(payment)[c.segment], c.pos, c.width)) << c.type << " at " << c.pos;
  }
}

TEST(WriteTa836, BankIdentification) {
  const std::string german_iban = Left("DE89370400440532013000", 34);
  const struct {
    const char *account, *bic;
    std::string fields;  // segment 03, 3-107
  } cases[] = {
      {"ch93 0076 2011 6238 5295 7", "UBSWCHZH80A", "D" + B(70) + Left("CH9300762011623852957", 34)},
      {"de89 3704 0044 0532 0130 00", "cobadeffxxx", "A" + Left("COBADEFFXXX", 35) + B(35) + german_iban},
      {"de89 3704 0044 0532 0130 00", "", "D" + Left("COMMERZBANK", 35) + Left("KOLN", 35) + german_iban},
      {"1-2345-6", "", "D" + Left("COMMERZBANK", 35) + Left("KOLN", 35) + B(34)},
  };
  for (const auto& c : cases) {
    PaymentRecord payment = SamplePayment(payIban);
    payment.bank_dst.account = c.account;
    payment.bank_dst.bic = c.bic;
    EXPECT_EQ(c.fields, Field(RecordOf(payment)[2], 3, 105)) << c.account << " / " << c.bic;
  }
}

TEST(WriteTa836, CurrencyAndChargeRule) {
  const struct {
    const char* currency;
    std::int32_t cost_code;
    const char *currency_field, *charge_rule;  // segment 01, 100-102; segment 05, 109
  } cases[] = {{"", payCostSrc, "CHF", "0"}, {"eur", payCostDst, "EUR", "1"}, {"usdx", payCostBoth, "USD", "2"},
               {"CHF", 7, "CHF", "7"}};
  for (const auto& c : cases) {
    PaymentRecord payment = SamplePayment(payIban);
    payment.currency = c.currency;
    payment.cost_code = c.cost_code;
    const std::vector<std::string> segments = RecordOf(payment);
    EXPECT_EQ(c.currency_field, Field(segments[0], 100, 3)) << c.currency;
    EXPECT_EQ(c.charge_rule, Field(segments[4], 109, 1)) << c.cost_code;
  }
}

TEST(DtaRecords, DateIn2105ShiftsTheRestOfTheSegment) {
  for (std::int32_t type : {payManual, payESR16, payIban}) {
    PaymentRecord payment = SamplePayment(type);
    payment.date = 74907.0;  // 31 January 2105
    const std::string file = DtaFile(PaymentList{payment});
    EXPECT_EQ(1u, file.size() % 128) << type;
    const std::string expected = type == payIban ? "1050131CHF250,00" : "1050131" + B(12) + "00000240402";
    EXPECT_EQ(expected, Field(file, type == payIban ? 94 : 3, expected.size())) << type;
  }
}

}  // namespace
}  // namespace ordexa::dta_test
