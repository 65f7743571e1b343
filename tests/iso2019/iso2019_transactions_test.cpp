// Resolved transactions kept between the check pass and the writing: what is read back is
// what was kept, whatever the texts' lengths and across the store's blocks.
#include "iso2019/iso2019_transactions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ordexa::test {
namespace {

// Every text of a transaction, in one line, to compare a kept one with its reading.
template <class T>
std::string Texts(const T& t) {
  std::string line;
  for (const auto* address : {&t.creditor_address, &t.agent_address}) {
    for (const auto& part : {address->street_name, address->building_number, address->post_box, address->post_code,
                             address->town, address->country, address->line}) {
      line.append(part).push_back('|');
    }
  }
  for (const auto& text : {t.creditor_name, t.creditor_iban, t.creditor_other, t.agent_bic, t.agent_clearing,
                           t.agent_name, t.reference, t.remittance}) {
    line.append(text).push_back('|');
  }
  return line;
}

// Transaction `i`: every text of its own length (0 to 140 characters, bytes of every
// value), so a text read from a neighbour's place or length shows.
Iso2019Transaction Numbered(int i) {
  Iso2019Transaction t;
  int n = i;
  for (std::string* text :
       {&t.creditor_name, &t.creditor_address.street_name, &t.creditor_address.building_number,
        &t.creditor_address.post_box, &t.creditor_address.post_code, &t.creditor_address.town,
        &t.creditor_address.country, &t.creditor_address.line, &t.creditor_iban, &t.creditor_other, &t.agent_bic,
        &t.agent_clearing, &t.agent_name, &t.agent_address.street_name, &t.agent_address.building_number,
        &t.agent_address.post_box, &t.agent_address.post_code, &t.agent_address.town, &t.agent_address.country,
        &t.agent_address.line, &t.reference, &t.remittance}) {
    n = (n * 37 + 11) % 141;
    for (int c = 0; c < n; ++c) text->push_back(static_cast<char>((i + c) % 256));
  }
  t.amount = 12345678901234 + i;
  t.reference_kind = static_cast<Iso2019Reference>(i % 3);
  t.creditor_address_written = i % 2 == 0;
  return t;
}

TEST(Iso2019Transactions, ReadsBackEveryTextAndFieldAcrossBlocks) {
  // 2,000 transactions of about 1.6 KB fill several of the store's blocks of 1 MB.
  constexpr int kCount = 2'000;
  Iso2019Transactions store;
  std::vector<std::uint64_t> places;
  for (int i = 0; i < kCount; ++i) places.push_back(store.Keep(Numbered(i)));
  Iso2019TransactionView view;
  view.currency = "CHF";
  for (int i = kCount - 1; i >= 0; --i) {
    SCOPED_TRACE(i);
    const Iso2019Transaction kept = Numbered(i);
    store.Read(places[static_cast<std::size_t>(i)], view);
    ASSERT_EQ(Texts(kept), Texts(view));
    EXPECT_EQ(kept.amount, view.amount);
    EXPECT_EQ(kept.reference_kind, view.reference_kind);
    EXPECT_EQ(kept.creditor_address_written, view.creditor_address_written);
    EXPECT_EQ("CHF", view.currency);  // the group's, left as it was
  }
}

}  // namespace
}  // namespace ordexa::test
