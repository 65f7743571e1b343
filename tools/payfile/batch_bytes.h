// The bytes of a batch file in memory, with the zero padding the JSON parser reads past
// the end, in memory taken straight from the system with its pages in place, so that
// reading tens of megabytes does not fault page by page, and that can be given back
// piece by piece as the reading goes on.
#pragma once

#include <cstddef>

#include <simdjson.h>

namespace ordexa::payfile {

class BatchBytes {
 public:
  BatchBytes() = default;
  // Room for `size` bytes and the padding, all zero. Throws std::bad_alloc.
  explicit BatchBytes(std::size_t size);
  ~BatchBytes();
  BatchBytes(BatchBytes&& other) noexcept;
  BatchBytes& operator=(BatchBytes&& other) noexcept;
  BatchBytes(const BatchBytes&) = delete;
  BatchBytes& operator=(const BatchBytes&) = delete;

  char* data() { return data_; }
  const char* data() const { return data_; }
  std::size_t size() const { return size_; }
  // Release(): gives the whole pages before `offset` back to the system (they read as
  // zeros afterwards) and returns the offset up to which the bytes are gone.
  std::size_t Release(std::size_t offset);

  // The bytes with their padding, as the parser takes them.
  simdjson::padded_string_view view() const { return simdjson::padded_string_view(data_, size_, room_); }

 private:
  char* data_ = nullptr;
  std::size_t size_ = 0;
  std::size_t room_ = 0;      // bytes taken from the system
  std::size_t released_ = 0;  // bytes given back, from the start
};

}  // namespace ordexa::payfile
