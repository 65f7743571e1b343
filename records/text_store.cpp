// The batch's text store: 256 KiB blocks handed out in four-byte units, a capacity in front
// of every slot, and a block of its own for a text longer than a block.
#include "records/text_store.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <new>

namespace ordexa {

std::uint32_t TextStore::Capacity(std::uint32_t slot) const {
  std::uint32_t capacity;
  std::memcpy(&capacity, SlotStart(slot), sizeof capacity);
  return capacity;
}

std::uint32_t TextStore::NewSlot(std::size_t room) {
  constexpr std::size_t kMaxUnits = std::size_t{std::numeric_limits<std::uint32_t>::max()} + 1;
  const std::size_t units = 1 + (room + kUnit - 1) / kUnit;
  const std::size_t block_count = (units + kUnitsPerBlock - 1) / kUnitsPerBlock;
  const bool fits_current = !blocks_.empty() && units <= kUnitsPerBlock &&
                            next_unit_ + units <= blocks_.size() * kUnitsPerBlock;
  if (!fits_current) {
    // A new block (or, for a text longer than a block, several block numbers that share
    // one allocation) starts at a block boundary; the rest of the previous block stays unused.
    const std::size_t first_block = blocks_.size();
    if ((first_block + block_count) * kUnitsPerBlock > kMaxUnits) throw std::bad_alloc();
    blocks_.reserve(first_block + block_count);
    blocks_.push_back(std::make_unique_for_overwrite<char[]>(block_count * kBlockBytes));
    blocks_.resize(first_block + block_count);
    reserved_ += block_count * kBlockBytes;
    // Unit 0 is never a slot: slot 0 means "no storage".
    next_unit_ = first_block * kUnitsPerBlock + (first_block == 0 ? 1 : 0);
  }
  const auto slot = static_cast<std::uint32_t>(next_unit_);
  // A text of several block numbers has its allocation to itself: the next slot starts
  // behind it, in a new block.
  next_unit_ = block_count > 1 ? blocks_.size() * kUnitsPerBlock : next_unit_ + units;
  const auto capacity = static_cast<std::uint32_t>((units - 1) * kUnit);
  std::memcpy(SlotStart(slot), &capacity, sizeof capacity);
  return slot;
}

void TextStore::SetInPlaceOrMove(TextRef& text, std::string_view bytes) {
  if (bytes.size() > std::numeric_limits<std::uint32_t>::max() - 2 * kUnit) throw std::bad_alloc();
  const std::uint32_t capacity = text.slot == 0 ? 0 : Capacity(text.slot);
  if (bytes.size() <= capacity) {
    // The new text may be a part of the old one: memmove.
    if (!bytes.empty()) std::memmove(SlotBytes(text.slot), bytes.data(), bytes.size());
    text.size = static_cast<std::uint32_t>(bytes.size());
    return;
  }
  // Growing texts get room to grow, so that a field replaced again and again by longer
  // texts leaves a bounded trail of old slots behind.
  const std::size_t room = std::min<std::size_t>(std::max<std::size_t>(bytes.size(), std::size_t{2} * capacity),
                                                 std::numeric_limits<std::uint32_t>::max() - 2 * kUnit);
  const std::uint32_t slot = NewSlot(room);
  std::memcpy(SlotBytes(slot), bytes.data(), bytes.size());
  text = {slot, static_cast<std::uint32_t>(bytes.size())};
}

}  // namespace ordexa
