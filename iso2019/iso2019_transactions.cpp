// Packing resolved transactions: a fixed head (amount, flags, which texts are present),
// then each present text as its length and its bytes.
#include "iso2019/iso2019_transactions.h"

#include <bit>
#include <cstring>
#include <string>

namespace ordexa {

namespace {

constexpr std::size_t kTextCount = 22;
static_assert(kTextCount <= 32, "one bit per text in the head");
constexpr std::size_t kHeadSize = sizeof(std::int64_t) + 1 + sizeof(std::uint32_t);
// A text's length; the document cuts every text far shorter.
using TextLength = std::uint16_t;

// The texts of a transaction, always in this order.
std::array<const std::string*, kTextCount> TextsOf(const Iso2019Transaction& t) {
  const Iso2019Address& c = t.creditor_address;
  const Iso2019Address& a = t.agent_address;
  return {&t.creditor_name, &c.street_name,      &c.building_number, &c.post_box, &c.post_code,
          &c.town,          &c.country,          &c.line,            &t.creditor_iban, &t.creditor_other,
          &t.agent_bic,     &t.agent_clearing,   &t.agent_name,      &a.street_name, &a.building_number,
          &a.post_box,      &a.post_code,        &a.town,            &a.country,  &a.line,
          &t.reference,     &t.remittance};
}

std::array<std::string_view*, kTextCount> TextsOf(Iso2019TransactionView& v) {
  Iso2019AddressView& c = v.creditor_address;
  Iso2019AddressView& a = v.agent_address;
  return {&v.creditor_name, &c.street_name,      &c.building_number, &c.post_box, &c.post_code,
          &c.town,          &c.country,          &c.line,            &v.creditor_iban, &v.creditor_other,
          &v.agent_bic,     &v.agent_clearing,   &v.agent_name,      &a.street_name, &a.building_number,
          &a.post_box,      &a.post_code,        &a.town,            &a.country,  &a.line,
          &v.reference,     &v.remittance};
}

}  // namespace

char* Iso2019Transactions::Room(std::size_t size, std::uint64_t& place) {
  if (blocks_.empty() || blocks_.back().capacity - blocks_.back().size < size) {
    Block block;
    block.capacity = size > kBlockSize ? size : kBlockSize;
    block.bytes = std::make_unique_for_overwrite<char[]>(block.capacity);
    blocks_.push_back(std::move(block));
  }
  Block& block = blocks_.back();
  place = (static_cast<std::uint64_t>(blocks_.size() - 1) << 32) | block.size;
  char* const room = block.bytes.get() + block.size;
  block.size += size;
  return room;
}

std::uint64_t Iso2019Transactions::Keep(const Iso2019Transaction& transaction) {
  const std::array<const std::string*, kTextCount> texts = TextsOf(transaction);
  std::uint32_t present = 0;
  std::size_t size = kHeadSize;
  for (std::size_t i = 0; i < kTextCount; ++i) {
    const std::size_t length = texts[i]->size();
    present |= static_cast<std::uint32_t>(length != 0) << i;
    size += length;
  }
  size += sizeof(TextLength) * static_cast<std::size_t>(std::popcount(present));
  std::uint64_t place = 0;
  char* out = Room(size, place);
  std::memcpy(out, &transaction.amount, sizeof transaction.amount);
  out += sizeof transaction.amount;
  *out++ = static_cast<char>(static_cast<unsigned>(transaction.reference_kind) |
                             (transaction.creditor_address_written ? 0x80u : 0u));
  std::memcpy(out, &present, sizeof present);
  out += sizeof present;
  for (std::uint32_t rest = present; rest != 0; rest &= rest - 1) {
    const std::string& text = *texts[static_cast<std::size_t>(std::countr_zero(rest))];
    // Every text is cut far below the length's limit before it is kept.
    const auto length = static_cast<TextLength>(text.size());
    std::memcpy(out, &length, sizeof length);
    std::memcpy(out + sizeof length, text.data(), length);
    out += sizeof length + length;
  }
  return place;
}

void Iso2019Transactions::Read(std::uint64_t place, Iso2019TransactionView& view) const {
  const char* in = blocks_[place >> 32].bytes.get() + (place & 0xFFFFFFFFu);
  std::memcpy(&view.amount, in, sizeof view.amount);
  in += sizeof view.amount;
  const auto flags = static_cast<unsigned char>(*in++);
  view.reference_kind = static_cast<Iso2019Reference>(flags & 0x7Fu);
  view.creditor_address_written = (flags & 0x80u) != 0;
  std::uint32_t present;
  std::memcpy(&present, in, sizeof present);
  in += sizeof present;
  const std::array<std::string_view*, kTextCount> texts = TextsOf(view);
  for (std::string_view* text : texts) *text = {};
  for (std::uint32_t rest = present; rest != 0; rest &= rest - 1) {
    TextLength length;
    std::memcpy(&length, in, sizeof length);
    *texts[static_cast<std::size_t>(std::countr_zero(rest))] = {in + sizeof length, length};
    in += sizeof length + length;
  }
}

}  // namespace ordexa
