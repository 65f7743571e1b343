// The tool's direct fill of the records against the same batch put through the
// automation interfaces, as a client puts it.
#include "tools/payfile/batch_fill.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/interface_fill.h"
#include "tests/tools/payfile_run.h"
#include "tools/payfile/batch_json.h"
#include "tools/payfile/demo_batch.h"

namespace ordexa::payfile {
namespace {

// Texts the short way to 1252 does not take (best fit, '?', the C1 range, escapes, an
// escaped U+0000), keys left out, settings after the payments, a field given empty.
constexpr std::string_view kUnusualTexts = R"({
  "payments": [
    {"PayType": "payIban", "Amount": 12.5, "Reason": "\u0141\u00f3d\u017a \ud83d\ude00 \u0080\u0081\u009f",
     "Receiver": {"Name1": "Jos\u00e9 \"Pepe\" Garc\u00eda", "Name2": "", "City": "vor\u0000nach"},
     "BankDst": {"Account": "CH93 0076 2011 6238 5295 7", "BIC": "\u2126\u2122"}},
    {"PayType": 3, "CostCode": "payCostDst", "IsSalary": false, "Date": 46000.25, "ESR": "1234",
     "Currency": "EUR", "BankSrc": {"ID": "  700  ", "Street": "\u00a0\u00ff\u00c0\u00bf\t"}},
    {"PayType": -7}
  ],
  "settings": {"Sender": {"Name1": "M\u00fcller \u0160koda"}, "IsSalary": true, "DtaID": "ABC\u00e9",
               "CostCurrency": "CHF", "DtaID_Sender": "\u20ac", "CostAccount": "80-2-2"}
})";

TEST(ManagerFill, PutsWhatThePropertyPutsOfAClientPut) {
  const struct {
    const char* name;
    std::string json;
  } batches[] = {
      {"every_kind.json", test::ReadWholeFile(payfile_test::DataPath("every_kind.json")).value_or("")},
      {"demo batch", std::string(DemoBatchJson())},
      {"demo 2019 batch", std::string(Demo2019BatchJson())},
      {"unusual texts", std::string(kUnusualTexts)},
  };
  for (const auto& batch_file : batches) {
    SCOPED_TRACE(batch_file.name);
    ASSERT_FALSE(batch_file.json.empty());
    const simdjson::padded_string json(batch_file.json);
    simdjson::ondemand::parser parser;
    const Batch batch = ReadBatchJson(json, batch_file.name, parser);

    const ComPtr<CPayManager> direct = CPayManager::New();
    ASSERT_EQ(batch.payments.size(), FillManager(batch, *direct.get()));
    const ComPtr<CPayManager> reference = CPayManager::New();
    test::FillThroughInterfaces(batch, *reference.get());
    EXPECT_TRUE(test::SameRecords(direct->batch(), reference->batch()));
  }
}

// The five structured parts of every address block reach their own parts, as code page
// 1252 text (the short way for Latin-1, best fit otherwise), and nothing else; an address
// without a part given, or with parts given empty, keeps no parts at all.
TEST(ManagerFill, PutsEachStructuredAddressPartIntoItsPart) {
  const simdjson::padded_string json(std::string_view(R"({
    "settings": {"Sender": {"Town": "Z\u00fcrich", "Country": "CH", "Name1": "Muster AG"}},
    "payments": [
      {"PayType": 9, "BankSrc": {"PostCode": "6003"},
       "BankDst": {"StreetName": "Rue du Rh\u00f4ne", "BuildingNumber": "12a", "Town": "Gen\u00e8ve"},
       "Receiver": {"StreetName": "\u0141\u00f3dzka", "PostCode": "EC1A 1BB", "Town": "vor\u0000nach",
                    "Country": "gb", "Street": "Seeweg 2"}},
      {"PayType": 9, "Receiver": {"Name1": "Anna", "Town": "", "Country": ""}}]})"));
  using enum AddressPart;
  const struct {
    std::string_view address;  // "Sender" or "<payment>.<key>"
    AddressPart part;
    std::string_view expected;
  } given[] = {
      {"Sender", kTown, "Z\xFCrich"},
      {"Sender", kCountry, "CH"},
      {"0.BankSrc", kPostCode, "6003"},
      {"0.BankDst", kStreetName, "Rue du Rh\xF4ne"},
      {"0.BankDst", kBuildingNumber, "12a"},
      {"0.BankDst", kTown, "Gen\xE8ve"},
      {"0.Receiver", kStreetName, "L\xF3" "dzka"},
      {"0.Receiver", kPostCode, "EC1A 1BB"},
      {"0.Receiver", kTown, "vor"},
      {"0.Receiver", kCountry, "gb"},
  };
  simdjson::ondemand::parser parser;
  const ComPtr<CPayManager> manager = CPayManager::New();
  ASSERT_EQ(2u, FillManager(ReadBatchJson(json, "parts.json", parser), *manager.get()));
  const PayBatch& batch = manager->batch();
  const struct {
    std::string_view name;
    const PayAddressRecord& record;
  } addresses[] = {
      {"Sender", batch.settings.sender},          {"0.BankSrc", batch.payments[0].bank_src},
      {"0.BankDst", batch.payments[0].bank_dst},  {"0.Receiver", batch.payments[0].receiver},
      {"1.BankSrc", batch.payments[1].bank_src},  {"1.BankDst", batch.payments[1].bank_dst},
      {"1.Receiver", batch.payments[1].receiver},
  };
  for (const auto& address : addresses) {
    for (std::size_t p = 0; p < kAddressPartCount; ++p) {
      const auto part = static_cast<AddressPart>(p);
      SCOPED_TRACE(std::string(address.name) + " part " + std::to_string(p));
      std::string_view expected;
      for (const auto& g : given) {
        if (g.address == address.name && g.part == part) expected = g.expected;
      }
      EXPECT_EQ(expected, batch.PartText(address.record, part));
    }
  }
  EXPECT_EQ(0u, batch.payments[1].receiver.parts);
  EXPECT_EQ("Seeweg 2", batch.View(batch.payments[0].receiver).street);  // the record's own texts untouched
  EXPECT_EQ("Muster AG", batch.View(batch.settings).sender.name1);
}

// The reader hands each payment on as it is read, so a batch refused late has handed on
// the payments before the fault; the sink sees them in the order of the file.
TEST(ReadBatchJson, HandsOnEachPaymentAsItIsRead) {
  struct Recorder final : BatchSink {
    void Settings(const BatchSettings&) override { events += 'S'; }
    void Payment(const BatchPayment& payment) override { events += std::to_string(payment.pay_type); }
    std::string events;
  };
  const simdjson::padded_string json(std::string_view(
      R"({"payments": [{"PayType": 1}, {"PayType": 2}, {"PayType": "nonsense"}], "settings": {}})"));
  simdjson::ondemand::parser parser;
  Recorder recorder;
  EXPECT_THROW(ReadBatchJson(json, "late.json", parser, recorder), BatchError);
  EXPECT_EQ("12", recorder.events);

  const simdjson::padded_string good(std::string_view(R"({"payments": [{"PayType": 4}], "settings": {}})"));
  Recorder complete;
  EXPECT_EQ(1u, ReadBatchJson(good, "good.json", parser, complete));
  EXPECT_EQ("4S", complete.events);
}

}  // namespace
}  // namespace ordexa::payfile
