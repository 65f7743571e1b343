// The tool's direct fill of the records against the same batch put through the
// automation interfaces, as a client puts it, and the reader's hand-on of payments.
#include "tools/payfile/batch_fill.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/interface_fill.h"
#include "tests/tools/payfile_run.h"
#include "tools/payfile/batch_bytes.h"
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
      {"demo batch", std::string(DemoBatchJson())}, {"demo 2019 batch", std::string(Demo2019BatchJson())},
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

// About 12 MB: one payment per line, some keys and texts with escapes, umlauts in names.
std::string LongBatch(std::string_view last_amount) {
  std::string json = "{\"payments\": [\n";
  constexpr int kPayments = 30000;
  for (int i = 0; i < kPayments; ++i) {
    const std::string n = std::to_string(i);
    json += i % 7 == 0 ? R"(  {"Pay\u0054ype": "payIban", )" : R"(  {"PayType": "payIban", )";
    json += R"("Amount": ")" + (i + 1 == kPayments ? std::string(last_amount) : n + ".05") + R"(", )";
    json += R"("Reason": "Lohn )" + n + (i % 5 == 0 ? R"( \"Dezember\"", )" : R"( Dezember", )");
    json += R"("Receiver": {"Name1": "J\u00fcrg M\u00fcller-)" + n + R"(", "Street": "Bahnhofstrasse )" + n +
            R"(", "City": "8001 Zürich"}, "BankDst": {"Account": "CH93 0076 2011 6238 5295 7", "Name1": "Bank )" + n +
            R"("}, "BankSrc": {"Account": "CH6900700110001234567", "ID": "700", "Name2": ")" + std::string(180, 'x') +
            R"("}})";
    json += i + 1 == kPayments ? "\n" : ",\n";
  }
  json += "],\n\"settings\": {\"Sender\": {\"Name1\": \"Muster AG\"}}}\n";
  return json;
}

BatchBytes Loaded(const std::string& json) {
  BatchBytes bytes(json.size());
  std::memcpy(bytes.data(), json.data(), json.size());
  return bytes;
}

// Reading a long batch from the loaded file gives the text already read back to the system
// as it goes: the records, and the places in messages, must be those of reading it whole.
TEST(ReadBatchJson, GivesReadTextBackAndReadsAsFromTheWholeText) {
  const std::string truncated = LongBatch("12.50").substr(0, 11u << 20);
  for (const std::string& json : {LongBatch("12.50"), LongBatch("12,50"), LongBatch("12.50\" \"Reason"), truncated}) {
    SCOPED_TRACE(json.substr(json.size() - 600));
    simdjson::ondemand::parser parser;
    std::string whole_message, released_message;
    const ComPtr<CPayManager> whole = CPayManager::New(), released = CPayManager::New();
    try {
      ManagerFill fill(*whole.get());
      ReadBatchJson(simdjson::padded_string(json), "long.json", parser, fill);
    } catch (const BatchError& error) {
      whole_message = error.what();
    }
    BatchBytes bytes = Loaded(json);
    try {
      ManagerFill fill(*released.get());
      ReadBatchJson(bytes, "long.json", parser, fill);
      EXPECT_EQ('\0', bytes.data()[0]) << "the text read first went back to the system";
    } catch (const BatchError& error) {
      released_message = error.what();
    }
    EXPECT_EQ(whole_message, released_message);
    EXPECT_TRUE(test::SameRecords(whole->batch(), released->batch()));
  }
}

}  // namespace
}  // namespace ordexa::payfile
