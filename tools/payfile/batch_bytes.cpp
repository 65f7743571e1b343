// Anonymous mappings advised to use transparent huge pages; without them (or where the
// advice is refused) ordinary pages serve just the same.
#include "tools/payfile/batch_bytes.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <new>
#include <utility>

namespace ordexa::payfile {
namespace {

constexpr std::size_t kLargePage = std::size_t{2} << 20;

}  // namespace

BatchBytes::BatchBytes(std::size_t size) : size_(size) {
  if (size > (std::size_t{1} << 46)) throw std::bad_alloc();
  room_ = (size + simdjson::SIMDJSON_PADDING + kLargePage - 1) / kLargePage * kLargePage;
  void* memory = mmap(nullptr, room_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) throw std::bad_alloc();
  madvise(memory, room_, MADV_HUGEPAGE);  // advice only: refused, the pages are ordinary ones
  data_ = static_cast<char*>(memory);
}

std::size_t BatchBytes::Release(std::size_t offset) {
  const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  const std::size_t up_to = std::min(offset, size_) / page * page;
  if (up_to > released_ && madvise(data_ + released_, up_to - released_, MADV_DONTNEED) == 0) released_ = up_to;
  return released_;
}

BatchBytes::~BatchBytes() {
  if (data_ != nullptr) munmap(data_, room_);
}

BatchBytes::BatchBytes(BatchBytes&& other) noexcept
    : data_(std::exchange(other.data_, nullptr)),
      size_(std::exchange(other.size_, 0)),
      room_(std::exchange(other.room_, 0)),
      released_(std::exchange(other.released_, 0)) {}

BatchBytes& BatchBytes::operator=(BatchBytes&& other) noexcept {
  if (this != &other) {
    if (data_ != nullptr) munmap(data_, room_);
    data_ = std::exchange(other.data_, nullptr);
    size_ = std::exchange(other.size_, 0);
    room_ = std::exchange(other.room_, 0);
    released_ = std::exchange(other.released_, 0);
  }
  return *this;
}

}  // namespace ordexa::payfile
