// The check pass: for each format, a batch that the format takes as it is gives no
// warning, and each single mistake gives exactly its line.
#include "tools/payfile/batch_check.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "support/batch.h"
#include "tools/payfile/local_date.h"

namespace ordexa::payfile {
namespace {

constexpr std::int64_t kFranc = 10000;

DATE Date(const char* text) { return ToAutomationDate(ParseLocalDateTime(text, true).time); }

// A batch as plain texts; each case changes it before it is filled into a PayBatch.
struct PlainBatch {
  test::SettingFields settings;
  test::PaymentFieldsList payments;
};

// A batch of one IBAN payment that each format writes without loss; for EZAG the debit
// account is a postal account, as the postal service needs it.
PlainBatch CleanBatch(std::int32_t file_type) {
  PlainBatch batch;
  batch.settings.sender = {"Muster AG", "", "Bahnhofstrasse 1", "8001 Z\xFCrich", "", "", ""};
  batch.settings.dta_id = "ABC12";
  batch.settings.dta_id_sender = "ABC12";
  batch.settings.cost_currency = "CHF";
  test::PaymentFields payment;
  payment.type = payIban;
  payment.date = Date("2024-06-25");
  payment.amount.int64 = 1234 * kFranc;
  payment.reason = "Lohn Juni";
  payment.bank_src = {"", "", "", "", "700", file_type == payEzag ? "01-162-8" : "CH9300762011623852957", ""};
  payment.bank_dst = {"", "", "", "", "", "CH5604835012345678009", ""};
  payment.receiver = {"Anna Muster", "", "Seeweg 2", "8002 Z\xFCrich", "", "", ""};
  batch.payments.push_back(payment);
  return batch;
}

struct CheckCase {
  const char* what;
  std::int32_t file_type;
  std::function<void(PlainBatch&)> change;
  std::vector<std::string> lines;  // each after "batch.json: "
  bool swiss = true;
  const char* period = "2024-06";
};

std::vector<std::string> CheckLines(const PlainBatch& fields, const CheckCase& c) {
  // Written before the payments' day, which is then no day in the past.
  const ScopedClock clock(FixedClock({2024, 6, 4, 20, 9, 30, 0, 0}));
  PayBatch batch;
  test::FillBatch(batch, fields.settings, fields.payments);
  CheckRequest request;
  request.file_type = c.file_type;
  request.swiss = c.swiss;
  request.pay_period = c.period;
  std::vector<std::string> lines;
  for (const BatchWarning& warning : CheckBatch(batch, request)) {
    lines.push_back(BatchWarningLine("batch.json", warning).substr(12));
  }
  return lines;
}

test::PaymentFields& First(PlainBatch& batch) { return batch.payments.front(); }

TEST(CheckBatch, ReportsEachMistakeOnceWithItsPlaceAndWhatIsWritten) {
  const CheckCase cases[] = {
      {"clean DTA", payDTA, [](PlainBatch&) {}, {}}, {"clean EZAG", payEzag, [](PlainBatch&) {}, {}},
      {"clean Swiss ISO", payISO, [](PlainBatch&) {}, {}},

      // DTA
      {"TA 836 amount", payDTA, [](PlainBatch& b) { First(b).amount.int64 = 999999999999999999; },
       {"payments[0].Amount: 99999999999999.9999 does not fit the DTA amount field (15 characters); written as "
        "\"100000000000000\"",
        "payments: the sum of the amounts, 99999999999999.9999, does not fit the DTA total field (16 characters); "
        "written as \"100000000000000,\""}},
      {"TA 827 amount", payDTA,
       [](PlainBatch& b) {
         First(b).type = payRedBank;
         First(b).bank_dst = {"", "", "", "", "8390", "1234-5678.9", ""};
         First(b).amount.int64 = 12345678901234;
       },
       {"payments[0].Amount: 1234567890.1234 does not fit the DTA amount field (12 characters); written as "
        "\"1234567890,1\""}},
      {"date after 2099", payDTA, [](PlainBatch& b) { First(b).date = Date("2105-03-01"); },
       {"payments[0].Date: 2105-03-01 is outside the years 1900 to 2099 that the DTA date field (6 characters) "
        "holds; written as \"1050301\", which shifts the rest of the record"}},
      {"date before April 1900", payDTA, [](PlainBatch& b) { First(b).date = 50.5; },
       {"payments[0].Date: 1900-02-18T12:00:00 is before 9 April 1900 and counts as not given; the DTA date field "
        "(6 characters) gets the day of writing"}},
      {"kind without a record", payDTA, [](PlainBatch& b) { First(b).type = payForeign; },
       {"payments[0].PayType: payForeign payments get no DTA record; only the amount counts in the total"}},
      {"IBAN check digits", payDTA, [](PlainBatch& b) { First(b).bank_dst.account = "CH5604835012345678008"; },
       {"payments[0].BankDst.Account: \"CH5604835012345678008\" is not a valid IBAN; the DTA IBAN field is written "
        "empty"}},
      {"postal check digit", payDTA,
       [](PlainBatch& b) {
         First(b).type = payRedPost;
         First(b).bank_dst.account = "01-162-9";
       },
       {"payments[0].BankDst.Account: \"01-162-9\" is not a valid postal account (check digit 8 expected); "
        "written as \"010001629\""}},
      {"reasons cut, counted per field", payDTA,
       [](PlainBatch& b) {
         First(b).reason = "Lohn Juni 2024 mit Zulage f\xFCr Nachtarbeit";
         b.payments.push_back(First(b));
         b.payments.back().reason = "Lohn Juni 2024 mit Zulage f\xFCr Sonntagsarbeit";
         b.payments.push_back(First(b));
       },
       {"payments[0].Reason: \"Lohn Juni 2024 mit Zulage f\xC3\xBCr Nachtarbeit\" is cut to the DTA reason field "
        "(35 characters): written as \"LOHN JUNI 2024 MIT ZULAGE FUR NACHT\" (also in 2 more payments)"}},

      // EZAG
      {"amount refused", payEzag, [](PlainBatch& b) { First(b).amount.int64 = 1000000000000000; },
       {"payments[0].Amount: 100000000000.00 does not fit the EZAG amount field (13 characters); the EZAG writer "
        "refuses the file",
        "payments: the sum of the amounts, 100000000000.00, does not fit the EZAG total field (13 characters); the "
        "EZAG writer refuses the file"}},
      {"currency of four letters", payEzag, [](PlainBatch& b) { First(b).currency = "EURO"; },
       {"payments[0].Currency: \"EURO\" is not 3 characters long; the EZAG record grows by 1 character"}},
      {"city without postcode", payEzag, [](PlainBatch& b) { First(b).receiver.city = "Z\xFCrich"; },
       {"payments[0].Receiver.City: \"Z\xC3\xBCrich\" has no postcode in front of the place; the EZAG postcode and "
        "place fields stay empty"}},
      {"DTA reference padded with zeros", payDTA,
       [](PlainBatch& b) {
         First(b).type = payESR16;
         First(b).bank_dst.account = "01-162-8";
         First(b).reason = "";
         First(b).esr = "12345";
       },
       {"payments[0].ESR: \"000000000000000000000012345\" is not a valid ESR reference number (check digit 7 "
        "expected); the bank refuses the payment"}},
      {"no debit account at all", payEzag, [](PlainBatch& b) { First(b).bank_src.account.clear(); },
       {"settings.CostAccount: is empty where a postal account is needed; the field is written blank"}},
      {"bank account as debit account", payEzag,
       [](PlainBatch& b) {
         First(b).bank_src.account = "CH9300762011623852957";
         b.payments.push_back(First(b));
       },
       {"payments[0].BankSrc.Account: \"CH9300762011623852957\" is not a valid postal account (not nine digits); "
        "written as \"CH9300762\" (also in 1 more payment)"}},

      // ISO
      {"negative amount", payISO, [](PlainBatch& b) { First(b).amount.int64 = -125000; },
       {"payments[0].Amount: -12.50 is negative; the ISO schema accepts no negative amount"}},
      {"euro sign in the reason", payISO, [](PlainBatch& b) { First(b).reason = "Bonus \x80 500"; },
       {"payments[0].Reason: \"Bonus \xE2\x82\xAC 500\" has \"\xE2\x82\xAC\", outside the character set of the "
        "Swiss ISO schema (<Ustrd>)"}},
      {"euro sign in the generic flavour", payISO, [](PlainBatch& b) { First(b).reason = "Bonus \x80 500"; }, {},
       false},
      {"long name, Swiss", payISO, [](PlainBatch& b) { First(b).receiver.name1 = std::string(71, 'A'); },
       {"payments[0].Receiver.Name1: \"" + std::string(71, 'A') +
        "\" has 71 characters; the Swiss ISO schema allows at most 70 in <Nm>"}},
      {"city without postcode", payISO, [](PlainBatch& b) { First(b).receiver.city = "Bern"; },
       {"payments[0].Receiver.City: written as <Ctry>Bern</Ctry>, which is no two-letter country code: put the "
        "postcode in front of the place, as \"3000 Bern\""}},
      {"foreign IBAN without BIC", payISO,
       [](PlainBatch& b) {
         First(b).bank_dst.account = "DE89 3704 0044 0532 0130 00";
         First(b).receiver.city = "D-79539 L\xF6rrach";
       },
       {"payments[0].BankDst.BIC: is empty for the foreign IBAN DE89370400440532013000; the ISO schema refuses the "
        "empty <BIC> element"}},
      {"short BIC", payISO, [](PlainBatch& b) { First(b).bank_dst.bic = "bankch"; },
       {"payments[0].BankDst.BIC: written as <BIC>BANKCH</BIC>, which is not a BIC the ISO schema accepts"}},
      {"debtor IBAN with blanks", payISO,
       [](PlainBatch& b) { First(b).bank_src.account = "ch93 0076 2011 6238 5295 7"; },
       {"payments[0].BankSrc.Account: \"ch93 0076 2011 6238 5295 7\" is written as the debtor <IBAN>CH93 0076 2011 "
        "6238 5295 7</IBAN>, which the ISO schema refuses: give the IBAN without blanks"}},
      // Values the file carries differently from the batch, or not at all.
      {"payment currency in a 2009 ISO file", payISO, [](PlainBatch& b) { First(b).currency = "EUR"; },
       {"payments[0].Currency: EUR is not written; the 2009 ISO file pays every payment in the batch currency CHF"}},
      {"ESR reference in a 2009 ISO file", payISO,
       [](PlainBatch& b) { First(b).esr = "210000000003139471430009017"; },
       {"payments[0].ESR: \"210000000003139471430009017\" is not written; the 2009 ISO file carries no ESR "
        "reference number"}},
      {"receiver abroad without the country in front", payISO,
       [](PlainBatch& b) {
         First(b).bank_dst = {"", "", "", "", "", "DE89370400440532013000", "COBADEFFXXX"};
         First(b).receiver.city = "80331 M\xFCnchen";
       },
       {"payments[0].Receiver.City: \"80331 M\xC3\xBCnchen\" gives the 2009 ISO file the country CH, but the "
        "country of the receiver's IBAN is DE: put the country in front of the postcode, as \"DE-80331 M\xC3\xBCnchen\""}},
      {"day long past in a 2009 ISO file", payISO, [](PlainBatch& b) { First(b).date = Date("1899-12-31"); },
       {"payments[0].Date: 1899-12-31 is before the day of writing (2024-06-20); written as it is: the bank "
        "executes it at once or refuses it"}},
      {"second payment on another day", payISO,
       [](PlainBatch& b) {
         b.payments.push_back(First(b));
         b.payments.back().date = Date("2024-06-26");
       },
       {"payments[1].Date: 2024-06-26 is not written; the 2009 ISO file executes every payment on the first "
        "payment's day 2024-06-25"}},
      {"negative amount in DTA", payDTA, [](PlainBatch& b) { First(b).amount.int64 = -250 * kFranc; },
       {"payments[0].Amount: -250.00 is negative; the DTA amount field (15 characters) gets \"-250,00\", which no "
        "bank takes"}},
      {"negative amount in EZAG", payEzag, [](PlainBatch& b) { First(b).amount.int64 = -250 * kFranc; },
       {"payments[0].Amount: -250.00 is negative; the EZAG amount field (13 characters) gets \"0000000-25000\", "
        "which no bank takes"}},
      {"amount of four decimals", payDTA, [](PlainBatch& b) { First(b).amount.int64 = 12345678; },
       {"payments[0].Amount: 1234.5678 has more than two decimals; the DTA amount field (15 characters) gets "
        "\"1234,57\""}},
      {"letters the DTA records lack", payDTA,
       [](PlainBatch& b) {
         First(b).receiver.name1 = "Wei\xDF";
         First(b).receiver.street = "K\xF6nigstra\xDF" "e 4";
       },
       {"payments[0].Receiver.Name1: \"Wei\xC3\x9F\" is written as \"WEI \": the DTA character set has no \"\xC3\x9F\"",
        "payments[0].Receiver.Street: \"K\xC3\xB6nigstra\xC3\x9F" "e 4\" is written as \"KONIGSTRA E 4\": the DTA "
        "character set has no \"\xC3\x9F\""}},
      {"letters the ISO names lack", payISO, [](PlainBatch& b) { First(b).receiver.name1 = "Wei\xDF & Co"; },
       {"payments[0].Receiver.Name1: \"Wei\xC3\x9F & Co\" is written as \"WEI  + CO\": the character set of ISO "
        "names and identifiers has no \"\xC3\x9F\""}},
      {"line break in an EZAG reason", payEzag, [](PlainBatch& b) { First(b).reason = "Lohn\nJuni"; },
       {"payments[0].Reason: \"Lohn\nJuni\" is written as \"Lohn Juni\": the one-line EZAG record has no control "
        "character U+000A"}},
      {"letters EZAG keeps as given", payEzag, [](PlainBatch& b) { First(b).receiver.name1 = "Wei\xDF & Co"; }, {}},
      {"second name line of TA 836", payDTA, [](PlainBatch& b) { First(b).receiver.name2 = "c/o Muster"; },
       {"payments[0].Receiver.Name2: \"c/o Muster\" is not written; the DTA IBAN record (TA 836) has no second name "
        "line"}},
      {"execution date not given", payISO, [](PlainBatch& b) { First(b).date = 0; },
       {"payments[0].Date: not given; the ISO execution date is written as 1899-12-30, a day long past"}},
      {"EUR batch with a bank payment", payISO,
       [](PlainBatch& b) {
         b.settings.cost_currency = "EUR";
         First(b).type = payRedBank;
         First(b).bank_dst = {"", "", "", "", "8390", "1234-5678.9", ""};
       },
       {"payments[0].PayType: payRedBank payments in an EUR batch get an empty <BIC> element in the ISO file, which "
        "the schema refuses"}},
      {"period too long", payISO, [](PlainBatch&) {},
       {"--period: \"X999-Lohnabrechnung Juni 2024 Nachtrag\" has 38 characters; the Swiss ISO schema allows at "
        "most 35 in <EndToEndId>"},
       true, "Lohnabrechnung Juni 2024 Nachtrag"},
      {"period with an underscore", payISO, [](PlainBatch&) {},
       {"--period: \"2024_06\" has \"_\", outside the character set of the Swiss ISO schema (<EndToEndId>)"}, true,
       "2024_06"},
  };
  for (const CheckCase& c : cases) {
    SCOPED_TRACE(c.what);
    PlainBatch batch = CleanBatch(c.file_type);
    c.change(batch);
    EXPECT_EQ(c.lines, CheckLines(batch, c));
  }
}

}  // namespace
}  // namespace ordexa::payfile
