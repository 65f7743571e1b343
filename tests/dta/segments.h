// Test helpers for DTA files: cutting a file into its 128-character segments, reading a
// field by position, a sample batch, and records written into memory.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "format/record_output.h"
#include "model/records/records.h"
#include "platform/file_system.h"

namespace ordexa::dta_test {

inline constexpr std::size_t kSegmentSize = 128;

// The file cut into 128-character segments; a shorter tail is the last piece.
inline std::vector<std::string> Segments(std::string_view file) {
  std::vector<std::string> segments;
  for (std::size_t at = 0; at < file.size(); at += kSegmentSize) segments.emplace_back(file.substr(at, kSegmentSize));
  return segments;
}

// The field at position `pos` (counted from 1) of `width` characters.
inline std::string Field(std::string_view segment, std::size_t pos, std::size_t width) {
  return pos - 1 < segment.size() ? std::string(segment.substr(pos - 1, width)) : std::string();
}

// `n` blanks, and `text` followed by blanks up to `width` (never cut).
inline std::string B(std::size_t n) { return std::string(n, ' '); }
inline std::string Left(std::string text, std::size_t width) {
  if (text.size() < width) text.append(width - text.size(), ' ');
  return text;
}

// A file system that keeps the one file it writes in memory.
class MemoryFileSystem : public FileSystem {
 public:
  FileHandle Create(std::string_view, FileStatus& status) const override {
    status = FileStatus{};
    bytes_.clear();
    return 7;
  }
  FileStatus Write(FileHandle, const char* data, std::size_t size) const override {
    bytes_.append(data, size);
    return FileStatus{};
  }
  FileStatus Close(FileHandle) const override { return FileStatus{}; }
  const std::string& bytes() const { return bytes_; }

 private:
  mutable std::string bytes_;
};

// The bytes that `write` produces through a record output.
template <class WriteRecords>
std::string WriteToMemory(WriteRecords write) {
  MemoryFileSystem file_system;
  FileStatus status;
  RecordOutput out(file_system, file_system.Create("", status));
  write(out);
  out.Close();
  return file_system.bytes();
}

// The ordering party: accents in its lines show whether a record cleans them.
inline PaySettingRecord SampleSettings() {
  PaySettingRecord settings;
  settings.sender = {"M\xFCller AG", "Lohnb\xFCro", "Bahnhofstr. 1", "8001 Z\xFCrich", "", "", ""};
  settings.dta_id = "ab-12x";
  settings.dta_id_sender = "snd01";
  return settings;
}

// A payment of 20 March 2024 from the ordering party's Swiss IBAN to Hans Meier.
inline PaymentRecord SamplePayment(std::int32_t type, std::int64_t amount = 2500000) {
  PaymentRecord payment;
  payment.type = type;
  payment.date = 45371.0;
  payment.amount.int64 = amount;
  payment.bank_src = {"Treuhand AG", "", "Seeweg 2", "6300 Zug", "8390", "ch93 0076 2011 6238 5295 7", ""};
  payment.bank_dst = {"Commerzbank", "", "", "K\xF6ln", "01-162", "1-2345-6", ""};
  payment.receiver = {"Hans Meier", "c/o \xC4nnchen", "Dorfstrasse 5", "3000 Bern", "", "", ""};
  payment.reason = "Lohn M\xE4rz 2024";
  return payment;
}

}  // namespace ordexa::dta_test
