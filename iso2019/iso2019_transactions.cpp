// Packing resolved transactions: a fixed head (amount, flags), then each text as its
// length and its bytes.
#include "iso2019/iso2019_transactions.h"

#include <cstring>
#include <string>

namespace ordexa {

namespace {

constexpr std::size_t kTextCount = 22;
constexpr std::size_t kHeadSize = sizeof(std::int64_t) + 1;
// A text's length; the document cuts every text to 140 characters or fewer.
using TextLength = std::uint16_t;

// Calls `each` for every text of a transaction or of its view, always in the same order.
template <class Address, class Each>
void ForEachAddressText(Address& a, Each& each) {
  each(a.street_name);
  each(a.building_number);
  each(a.post_box);
  each(a.post_code);
  each(a.town);
  each(a.country);
  each(a.line);
}

template <class Transaction, class Each>
void ForEachText(Transaction& t, Each each) {
  each(t.creditor_name);
  ForEachAddressText(t.creditor_address, each);
  each(t.creditor_iban);
  each(t.creditor_other);
  each(t.agent_bic);
  each(t.agent_clearing);
  each(t.agent_name);
  ForEachAddressText(t.agent_address, each);
  each(t.reference);
  each(t.remittance);
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
  return block.bytes.get() + block.size;
}

std::uint64_t Iso2019Transactions::Keep(const Iso2019Transaction& transaction) {
  std::size_t size = kHeadSize + kTextCount * sizeof(TextLength);
  ForEachText(transaction, [&size](const std::string& text) { size += text.size(); });
  std::uint64_t place = 0;
  char* out = Room(size, place);
  std::memcpy(out, &transaction.amount, sizeof transaction.amount);
  out += sizeof transaction.amount;
  *out++ = static_cast<char>(static_cast<unsigned>(transaction.reference_kind) |
                             (transaction.creditor_address_written ? 0x80u : 0u));
  ForEachText(transaction, [&out](const std::string& text) {
    const auto length = static_cast<TextLength>(text.size());
    std::memcpy(out, &length, sizeof length);
    out += sizeof length;
    if (length != 0) std::memcpy(out, text.data(), length);
    out += length;
  });
  blocks_.back().size += size;
  return place;
}

void Iso2019Transactions::Read(std::uint64_t place, Iso2019TransactionView& view) const {
  const char* in = blocks_[place >> 32].bytes.get() + (place & 0xFFFFFFFFu);
  std::memcpy(&view.amount, in, sizeof view.amount);
  in += sizeof view.amount;
  const auto flags = static_cast<unsigned char>(*in++);
  view.reference_kind = static_cast<Iso2019Reference>(flags & 0x7Fu);
  view.creditor_address_written = (flags & 0x80u) != 0;
  ForEachText(view, [&in](std::string_view& text) {
    TextLength length;
    std::memcpy(&length, in, sizeof length);
    text = {in + sizeof length, length};
    in += sizeof length + length;
  });
}

}  // namespace ordexa
