// The batch's text store: regions from the system cut into 256 KiB blocks, handed out in
// four-byte units with a capacity in front of every slot; a text longer than a region gets
// a region of its own size.
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

void TextStore::AddRegion(std::size_t units) {
  constexpr std::size_t kMaxUnits = std::size_t{std::numeric_limits<std::uint32_t>::max()} + 1;
  const std::size_t first_block = blocks_.size();
  // Unit 0 is never a slot (slot 0 means "no storage"): the first region holds one unit more.
  const std::size_t first_unit = first_block == 0 ? 1 : 0;
  const std::size_t needed_blocks = (first_unit + units + kUnitsPerBlock - 1) / kUnitsPerBlock;
  // One small block first; then a region at a time, or what a long text needs.
  const std::size_t block_count = std::max(needed_blocks, first_block == 0 ? std::size_t{1} : kBlocksPerRegion);
  if ((first_block + block_count) * kUnitsPerBlock > kMaxUnits) throw std::bad_alloc();
  blocks_.reserve(first_block + block_count);
  regions_.reserve(regions_.size() + 1);
  LargeBlock region(block_count * kBlockBytes);
  // Nothing below throws: the store changes only once the region is there.
  for (std::size_t block = 0; block < block_count; ++block) blocks_.push_back(region.data() + block * kBlockBytes);
  regions_.push_back(std::move(region));
  reserved_ += block_count * kBlockBytes;
  // The rest of the previous region stays unused.
  next_unit_ = first_block * kUnitsPerBlock + first_unit;
  end_unit_ = blocks_.size() * kUnitsPerBlock;
}

std::uint32_t TextStore::NewSlot(std::size_t room) {
  const std::size_t units = 1 + (room + kUnit - 1) / kUnit;
  if (next_unit_ + units > end_unit_) AddRegion(units);
  const auto slot = static_cast<std::uint32_t>(next_unit_);
  next_unit_ += units;
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
