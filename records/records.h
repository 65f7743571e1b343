// The data of one batch as the writers read it: the settings record, the payment records
// and their address blocks, in the field order of the component's data model. Texts (code
// page 1252) live in the batch's TextStore; the records name them by TextRef, and the
// writers read a record through its view, where every text is a string_view.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>
#include <vector>

#include "oleauto.h"
#include "ordexa_enums.h"
#include "platform/large_block.h"
#include "records/text_store.h"

namespace ordexa {

// Seven texts of a party, a bank or an account, and where its structured parts are kept.
struct PayAddressRecord {
  TextRef name1;
  TextRef name2;
  TextRef street;
  TextRef city;
  TextRef id;
  TextRef account;
  TextRef bic;
  // 0 while none of the structured parts was ever set, else 1 + the index of its parts in
  // PayBatch::address_parts: most batches never set them, so an address pays four bytes.
  std::uint32_t parts = 0;
};

// The structured parts of a postal address, set through the newer address interface.
enum class AddressPart : std::uint8_t { kStreetName, kBuildingNumber, kPostCode, kTown, kCountry };
inline constexpr std::size_t kAddressPartCount = 5;

struct PayAddressPartsRecord {
  TextRef parts[kAddressPartCount];
};

// One payment order.
struct PaymentRecord {
  std::int32_t type = 0;  // a PayTypes value as passed to NewPayment, unchecked
  std::int32_t cost_code = payCostBoth;  // a PayCosts value, unchecked
  DATE date = 0.0;
  CY amount{};
  PayAddressRecord bank_src;  // bank of the ordering party
  PayAddressRecord bank_dst;  // bank of the receiver
  PayAddressRecord receiver;
  TextRef esr;
  TextRef currency;
  TextRef reason;
  bool is_salary = false;
};

// What is common to the batch: the ordering party and the file header data.
struct PaySettingRecord {
  PayAddressRecord sender;
  TextRef dta_id;
  TextRef cost_account;
  bool is_salary = false;
  TextRef dta_id_sender;
  TextRef cost_currency;
};

// The records as the writers read them: the same fields, texts as views into the store.
struct PayAddressView {
  std::string_view name1, name2, street, city, id, account, bic;
  // The structured parts; empty unless set.
  std::string_view street_name, building_number, post_code, town, country;
};

struct PaymentView {
  std::int32_t type = 0;
  DATE date = 0.0;
  PayAddressView bank_src, bank_dst, receiver;
  std::string_view esr, currency;
  CY amount{};
  std::string_view reason;
  bool is_salary = false;
  std::int32_t cost_code = payCostBoth;
};

struct PaySettingView {
  PayAddressView sender;
  std::string_view dta_id, cost_account;
  bool is_salary = false;
  std::string_view dta_id_sender, cost_currency;
};

// PaymentCurrencyText(): the payment's currency, "CHF" (the currency of the Swiss
// clearing) when the caller left it empty.
// Example: PaymentCurrencyText(PaymentView{}) == "CHF".
inline std::string_view PaymentCurrencyText(const PaymentView& payment) {
  return payment.currency.empty() ? std::string_view("CHF") : payment.currency;
}

// Records live in memory taken straight from the system and are never destroyed one by one.
static_assert(std::is_trivially_destructible_v<PaymentRecord>);

// The payment list: only ever appended to, in creation order. Records are kept in blocks
// that never move, so views can point at their record while the list grows. The first block
// is on its own, for the many small batches; after it the list grows by regions of some
// 2 MiB of blocks, taken straight from the system.
class PaymentList {
 public:
  static constexpr std::size_t kRecordsPerBlock = 1024;
  static constexpr std::size_t kBlockBytes = kRecordsPerBlock * sizeof(PaymentRecord);
  // Some 2 MiB per region. Counted in blocks, not bytes, so a record a few bytes larger
  // makes every region a little larger instead of the list a region longer.
  static constexpr std::size_t kBlocksPerRegion = 9;

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }

  // emplace_back(): appends a record with its initial values; throws std::bad_alloc.
  PaymentRecord& emplace_back();
  // pop_back(): removes the last record (its block stays for the next one).
  void pop_back() { --size_; }

  // Reserved(): bytes taken from the system for the records, for measurements.
  std::size_t Reserved() const { return reserved_; }

  PaymentRecord& operator[](std::size_t index) { return blocks_[index / kRecordsPerBlock][index % kRecordsPerBlock]; }
  const PaymentRecord& operator[](std::size_t index) const {
    return blocks_[index / kRecordsPerBlock][index % kRecordsPerBlock];
  }
  const PaymentRecord& front() const { return (*this)[0]; }
  PaymentRecord& back() { return (*this)[size_ - 1]; }
  const PaymentRecord& back() const { return (*this)[size_ - 1]; }

  class const_iterator {
   public:
    const_iterator(const PaymentList& list, std::size_t index) : list_(&list), index_(index) {}
    const PaymentRecord& operator*() const { return (*list_)[index_]; }
    const_iterator& operator++() {
      ++index_;
      return *this;
    }
    bool operator==(const const_iterator& other) const { return index_ == other.index_; }

   private:
    const PaymentList* list_;
    std::size_t index_;
  };
  const_iterator begin() const { return {*this, 0}; }
  const_iterator end() const { return {*this, size_}; }

 private:
  void AddRegion();

  std::vector<PaymentRecord*> blocks_;  // where each block starts, in the region that holds it
  std::vector<LargeBlock> regions_;
  std::size_t size_ = 0;
  std::size_t reserved_ = 0;
};

// The data of one batch: its texts, settings and payments. Views of the model share its
// ownership, so a view outlives its manager safely.
struct PayBatch {
  TextStore texts;
  PaySettingRecord settings;
  PaymentList payments;
  // The structured parts of the addresses that have any, by PayAddressRecord::parts.
  std::vector<PayAddressPartsRecord> address_parts;

  std::string_view Text(TextRef text) const { return texts.Get(text); }
  void SetText(TextRef& text, std::string_view bytes) { texts.Set(text, bytes); }

  // PartText(): one structured part of `address`; empty when it was never set.
  std::string_view PartText(const PayAddressRecord& address, AddressPart part) const {
    if (address.parts == 0) return {};
    return Text(address_parts[address.parts - 1].parts[static_cast<std::size_t>(part)]);
  }
  // SetPartText(): `bytes` becomes the part; the address gets its parts record on the first
  // non-empty part. Throws std::bad_alloc; the part is then unchanged.
  void SetPartText(PayAddressRecord& address, AddressPart part, std::string_view bytes);

  // View(): a record with its texts as views; valid until one of its texts is set again.
  PayAddressView View(const PayAddressRecord& address) const;
  PaymentView View(const PaymentRecord& payment) const;
  PaySettingView View(const PaySettingRecord& settings) const;
};

}  // namespace ordexa
