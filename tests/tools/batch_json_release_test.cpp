// Reading a long batch from the loaded file gives the text already read back to the system
// as it goes: the records and the places in messages must be those of reading it whole.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "tests/support/interface_fill.h"
#include "tools/payfile/batch_bytes.h"
#include "tools/payfile/batch_fill.h"
#include "tools/payfile/batch_json.h"

namespace ordexa::payfile {
namespace {

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

TEST(ReadBatchJson, GivesReadTextBackAndReadsTheSameBatch) {
  const std::string json = LongBatch("12.50");
  ASSERT_GT(json.size(), std::size_t{10} << 20);
  simdjson::ondemand::parser parser;

  const simdjson::padded_string whole(json);
  const ComPtr<CPayManager> expected = CPayManager::New();
  ManagerFill fill_whole(*expected.get());
  ASSERT_EQ(30000u, ReadBatchJson(whole, "long.json", parser, fill_whole));

  BatchBytes bytes = Loaded(json);
  const ComPtr<CPayManager> released = CPayManager::New();
  ManagerFill fill_released(*released.get());
  ASSERT_EQ(30000u, ReadBatchJson(bytes, "long.json", parser, fill_released));
  EXPECT_TRUE(test::SameRecords(expected->batch(), released->batch()));
  EXPECT_EQ('\0', bytes.data()[0]) << "the text read first went back to the system";
  EXPECT_EQ("Lohn 0 \"Dezember\"", released->batch().View(released->batch().payments[0]).reason);
}

TEST(ReadBatchJson, NamesTheSamePlaceAfterGivingTextBack) {
  const std::string truncated = LongBatch("12.50").substr(0, 11u << 20);
  for (const std::string& json : {LongBatch("12,50"), LongBatch("12.50\" \"Reason"), LongBatch("1\\u00"), truncated}) {
    SCOPED_TRACE(json.substr(json.size() - 600));
    simdjson::ondemand::parser parser;
    std::string whole_message, released_message;
    try {
      ReadBatchJson(simdjson::padded_string(json), "long.json", parser);
    } catch (const BatchError& error) {
      whole_message = error.what();
    }
    BatchBytes bytes = Loaded(json);
    const ComPtr<CPayManager> manager = CPayManager::New();
    ManagerFill fill(*manager.get());
    try {
      ReadBatchJson(bytes, "long.json", parser, fill);
    } catch (const BatchError& error) {
      released_message = error.what();
    }
    EXPECT_NE("", whole_message);
    EXPECT_EQ(whole_message, released_message);
  }
}

}  // namespace
}  // namespace ordexa::payfile
