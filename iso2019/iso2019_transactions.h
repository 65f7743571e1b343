// The resolved transactions of a batch, kept between the check pass and the writing so
// that each payment is resolved once: per transaction its amount, its reference kind and
// its document texts, packed one after another in large blocks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string_view>
#include <vector>

#include "iso2019/iso2019_payment.h"

namespace ordexa {

// A postal address as the document carries it, its texts viewed where they are kept.
struct Iso2019AddressView {
  std::string_view street_name, building_number, post_box, post_code, town, country, line;
};

// One transaction as the document writes it. Currency and decimals are its group's.
struct Iso2019TransactionView {
  std::int64_t amount = 0;
  std::string_view currency;
  int decimals = 2;
  Iso2019Reference reference_kind = Iso2019Reference::kNone;
  bool creditor_address_written = false;
  std::string_view creditor_name;
  Iso2019AddressView creditor_address;
  std::string_view creditor_iban, creditor_other;
  std::string_view agent_bic, agent_clearing, agent_name;
  Iso2019AddressView agent_address;
  std::string_view reference, remittance;
};

// The kept transactions of one batch, in the order they were kept.
class Iso2019Transactions {
 public:
  // Keep(): packs `transaction` and returns the place to read it back from. Throws only
  // std::bad_alloc.
  std::uint64_t Keep(const Iso2019Transaction& transaction);

  // Read(): the transaction kept at `place`, its texts viewed in the blocks; valid as long
  // as this object. Currency and decimals are left as they are.
  void Read(std::uint64_t place, Iso2019TransactionView& view) const;

 private:
  // Whole transactions per block: a transaction is never split, and a block holds many.
  static constexpr std::size_t kBlockSize = std::size_t{1} << 20;
  struct Block {
    std::unique_ptr<char[]> bytes;
    std::size_t size = 0, capacity = 0;
  };
  // Room(): `size` bytes at the end of the last block, a new block when it lacks them;
  // `place` says where they are. Keep() counts them as used once it has filled them.
  char* Room(std::size_t size, std::uint64_t& place);

  std::vector<Block> blocks_;
};

}  // namespace ordexa
