// The batch's text store and payment list: texts read back exactly through any sequence of
// replacements, replaced texts do not make the store grow without bound, texts longer
// than a block, and records that stay where they are while the list grows.
#include "records/text_store.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "records/records.h"

namespace ordexa {
namespace {

TEST(TextStore, ReplacementsReadBackExactly) {
  const struct {
    const char* name;
    std::vector<std::string> puts;
  } cases[] = {
      {"one text", {"Anna M\xFCller"}},
      {"shorter reuses, longer moves", {"Bahnhofstrasse 1", "Weg 2", "Hauptstrasse 123 Hinterhaus"}},
      {"empty in between", {"abc", "", "abcdef"}},
      {"grows byte by byte", {"a", "ab", "abc", "abcd", "abcde", "abcdefghi"}},
      {"embedded NUL kept", {std::string("a\0b", 3)}},
      {"back to the empty text", {"x", ""}},
  };
  for (const auto& c : cases) {
    TextStore store;
    TextRef field;
    TextRef neighbour;
    store.Set(neighbour, "neighbour");
    for (const std::string& text : c.puts) {
      store.Set(field, text);
      EXPECT_EQ(text, store.Get(field)) << c.name;
      // A slot reused or abandoned never reaches into the text next to it.
      EXPECT_EQ("neighbour", store.Get(neighbour)) << c.name;
    }
  }
  EXPECT_EQ("", TextStore().Get(TextRef{}));
}

TEST(TextStore, TakesAPartOfItsOwnTexts) {
  TextStore store;
  TextRef field;
  TextRef other;
  store.Set(field, "Z\xFCrcher Kantonalbank");
  store.Set(field, store.Get(field).substr(8));  // overlapping copy within the slot
  EXPECT_EQ("Kantonalbank", store.Get(field));
  store.Set(other, store.Get(field));
  store.Set(field, std::string(300, 'x'));  // moves to a new slot; `other` keeps its copy
  EXPECT_EQ("Kantonalbank", store.Get(other));
}

TEST(TextStore, RepeatedPutsStayWithinAFewTimesTheLongestText) {
  // A client that alternates long and short texts, or lets a text grow step by step, must
  // not make the batch grow with every put.
  const struct {
    const char* name;
    std::size_t (*length)(int put);
  } patterns[] = {
      {"alternating", [](int put) -> std::size_t { return put % 2 == 0 ? 3000 : 3; }},
      {"growing", [](int put) -> std::size_t { return static_cast<std::size_t>(put) * 30 % 3001; }},
      {"same length", [](int) -> std::size_t { return 3000; }},
  };
  for (const auto& pattern : patterns) {
    TextStore store;
    TextRef field;
    for (int put = 0; put < 20000; ++put) store.Set(field, std::string(pattern.length(put), 'a'));
    // One block of 256 KiB holds everything: 20,000 puts of up to 3,000 bytes would need 60 MB.
    EXPECT_LE(store.Reserved(), std::size_t{256} * 1024) << pattern.name;
    EXPECT_EQ(std::string(pattern.length(19999), 'a'), store.Get(field)) << pattern.name;
  }
}

TEST(TextStore, LongTextsAtTheEdgesOfBlocksAndRegions) {
  // Lengths around the 256 KiB first block (whose first unit is never a slot), the 2 MiB
  // regions after it, and beyond: each as the store's first text or after a short one,
  // with texts after it, and replaced by a short text again.
  const std::size_t kBlock = 256 * 1024;
  const std::size_t kRegion = 2 * 1024 * 1024;
  const std::size_t lengths[] = {kBlock - 8, kBlock - 4, kBlock - 3, kBlock, 600 * 1024, kRegion - 4, kRegion,
                                 5 * kRegion / 2};
  for (const bool short_first : {false, true}) for (const std::size_t length : lengths) {
    SCOPED_TRACE(length);
    TextStore store;
    TextRef before, first, after, last;
    const std::string long_text(length, 'L');
    if (short_first) store.Set(before, "before");
    store.Set(first, long_text);
    store.Set(after, "after");
    store.Set(last, std::string(kBlock - 8, 'm'));
    EXPECT_EQ(short_first ? "before" : "", store.Get(before));
    EXPECT_EQ(long_text, store.Get(first));
    EXPECT_EQ("after", store.Get(after));
    EXPECT_EQ(std::string(kBlock - 8, 'm'), store.Get(last));
    store.Set(first, "small now");
    EXPECT_EQ("small now", store.Get(first));
  }
}

TEST(TextStore, ManyTextsAcrossRegionsReadBackAndCostLittleRoom) {
  // About 6 MB of texts of every small length: they run on from block to block within a
  // region and start afresh in the next one.
  TextStore store;
  std::vector<TextRef> fields(200000);
  std::size_t text_bytes = 0;
  auto text_of = [](std::size_t i) { return std::string(1 + i % 53, static_cast<char>('a' + i % 26)); };
  for (std::size_t i = 0; i < fields.size(); ++i) {
    store.Set(fields[i], text_of(i));
    text_bytes += text_of(i).size();
  }
  for (std::size_t i = 0; i < fields.size(); ++i) ASSERT_EQ(text_of(i), store.Get(fields[i])) << i;
  // Each text costs its bytes, a capacity and the rounding to four bytes; the store takes
  // at most one region more than that.
  EXPECT_GT(store.Reserved(), text_bytes);
  EXPECT_LE(store.Reserved(), text_bytes + 8 * fields.size() + 2 * 1024 * 1024);
}

TEST(PaymentList, RecordsStayInPlaceAndStartAfresh) {
  PaymentList payments;
  PaymentRecord& first = payments.emplace_back();
  first.type = payIban;
  first.amount.int64 = 42;
  const PaymentRecord* const first_address = &first;
  // Past the first block and through two regions of blocks after it.
  std::vector<const PaymentRecord*> addresses = {first_address};
  for (std::size_t i = 1; i < 20 * PaymentList::kRecordsPerBlock + 5; ++i) {
    PaymentRecord& record = payments.emplace_back();
    record.amount.int64 = static_cast<std::int64_t>(i);
    addresses.push_back(&record);
  }
  EXPECT_EQ(first_address, &payments.front());
  for (std::size_t i = 0; i < addresses.size(); ++i) ASSERT_EQ(addresses[i], &payments[i]) << i;
  std::size_t count = 0;
  for (const PaymentRecord& record : payments) {
    EXPECT_EQ(count == 0 ? 42 : static_cast<std::int64_t>(count), record.amount.int64);
    ++count;
  }
  EXPECT_EQ(payments.size(), count);

  // A record given back and taken again has its initial values, not the old ones.
  payments.back().is_salary = true;
  payments.back().cost_code = payCostSrc;
  payments.pop_back();
  const PaymentRecord& again = payments.emplace_back();
  EXPECT_FALSE(again.is_salary);
  EXPECT_EQ(payCostBoth, again.cost_code);
  EXPECT_EQ(0, again.amount.int64);
}

TEST(PayBatch, ViewsShowEveryFieldInPlace) {
  PayBatch batch;
  PaymentRecord& record = batch.payments.emplace_back();
  TextRef* const fields[] = {&record.bank_src.name1, &record.bank_dst.account, &record.receiver.bic,
                             &record.esr,            &record.currency,         &record.reason};
  const char* const texts[] = {"Bank", "CH93", "BIC", "ESR", "EUR", "Lohn"};
  for (std::size_t i = 0; i < std::size(fields); ++i) batch.SetText(*fields[i], texts[i]);
  const PaymentView view = batch.View(record);
  const std::string_view seen[] = {view.bank_src.name1, view.bank_dst.account, view.receiver.bic,
                                   view.esr,            view.currency,         view.reason};
  for (std::size_t i = 0; i < std::size(fields); ++i) EXPECT_EQ(texts[i], seen[i]);
  EXPECT_EQ("", view.receiver.name1);
  EXPECT_EQ("EUR", PaymentCurrencyText(view));
  EXPECT_EQ("CHF", PaymentCurrencyText(PaymentView{}));
}

}  // namespace
}  // namespace ordexa
