// The texts of one batch in one store: every record field names its bytes by a small
// reference, so a payment costs no heap string per field.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/large_block.h"

namespace ordexa {

// Where a record's text stands in its batch's TextStore: a slot and the text's length.
// Slot 0 is no storage; a default TextRef is the empty text.
struct TextRef {
  std::uint32_t slot = 0;
  std::uint32_t size = 0;
};

// TextStore: the bytes of a batch's texts, in large blocks that never move, so texts
// stay where they are while the batch grows. The first block is small, for the many small
// batches; after it the store grows by regions of 2 MiB, taken straight from the system.
// A text that is replaced reuses its slot when the new text fits; a longer one moves to a
// new slot of at least twice the old room, so a field replaced any number of times holds at
// most a few times its longest text.
class TextStore {
 public:
  TextStore() = default;
  TextStore(const TextStore&) = delete;
  TextStore& operator=(const TextStore&) = delete;

  // Get(): the bytes of `text`; the view stays valid until `text` is set again.
  std::string_view Get(TextRef text) const {
    if (text.size == 0) return {};
    return {SlotBytes(text.slot), text.size};
  }

  // Set(): `text` holds `bytes` afterwards. Throws std::bad_alloc when the store cannot
  // grow; `text` is then unchanged.
  void Set(TextRef& text, std::string_view bytes) {
    // The usual put, a field's first text, fits the current region: a new slot without a call.
    if (text.slot == 0 && !bytes.empty() && bytes.size() <= kUnitsPerBlock) {
      const std::size_t units = 1 + (bytes.size() + kUnit - 1) / kUnit;
      if (next_unit_ + units <= end_unit_) {
        const auto slot = static_cast<std::uint32_t>(next_unit_);
        next_unit_ += units;
        const auto capacity = static_cast<std::uint32_t>((units - 1) * kUnit);
        std::memcpy(SlotStart(slot), &capacity, sizeof capacity);
        std::memcpy(SlotBytes(slot), bytes.data(), bytes.size());
        text = {slot, static_cast<std::uint32_t>(bytes.size())};
        return;
      }
    }
    SetInPlaceOrMove(text, bytes);
  }

  // Writable(): the bytes of `text` for changes that keep its length (upper-casing).
  char* Writable(TextRef text) { return text.size == 0 ? nullptr : SlotBytes(text.slot); }

  // Reserved(): bytes taken from the system by the store, for measurements.
  std::size_t Reserved() const { return reserved_; }

 private:
  // Slots are counted in units of four bytes; a slot is a four-byte capacity followed by
  // the text's room. A slot's unit names a block (256 KiB) and a place in it; the blocks of
  // one region lie one after the other, so a slot may run on into the next block of its region.
  static constexpr std::size_t kUnit = 4;
  static constexpr std::size_t kUnitsPerBlock = std::size_t{1} << 16;  // 256 KiB blocks
  static constexpr std::size_t kBlockBytes = kUnitsPerBlock * kUnit;
  static constexpr std::size_t kBlocksPerRegion = kRegionBytes / kBlockBytes;
  static_assert(kBlocksPerRegion * kBlockBytes == kRegionBytes);

  char* SlotStart(std::uint32_t slot) const {
    return blocks_[slot / kUnitsPerBlock] + (slot % kUnitsPerBlock) * kUnit;
  }
  char* SlotBytes(std::uint32_t slot) const { return SlotStart(slot) + kUnit; }
  std::uint32_t Capacity(std::uint32_t slot) const;
  void SetInPlaceOrMove(TextRef& text, std::string_view bytes);
  std::uint32_t NewSlot(std::size_t room);
  void AddRegion(std::size_t units);

  std::vector<char*> blocks_;  // where each block starts, in the region that holds it
  std::vector<LargeBlock> regions_;
  std::size_t next_unit_ = 0;  // the first free unit; unit 0 is never handed out
  std::size_t end_unit_ = 0;  // the end of the current region: free units run up to here
  std::size_t reserved_ = 0;
};

}  // namespace ordexa
