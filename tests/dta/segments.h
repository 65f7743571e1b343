// Test helpers for DTA files: a file written into memory, cut into its 128-character
// segments, fields read by position, and a sample batch.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "dta/dta_writer.h"
#include "platform/clock.h"

namespace ordexa::dta_test {

// Keeps the one file in memory; Create can fail, and so can every Write from a chosen call on.
class MemoryFileSystem : public FileSystem {
 public:
  std::uint32_t create_error = 0;
  int fail_from_write = 0;  // 0: never
  mutable std::string bytes;

  FileHandle Create(std::string_view, FileStatus& status) const override {
    status.error = create_error;
    return create_error == 0 ? 7 : kInvalidFile;
  }
  FileStatus Write(FileHandle, const char* data, std::size_t size) const override {
    if (fail_from_write != 0 && ++writes_ >= fail_from_write) return FileStatus{ERROR_DISK_FULL};
    bytes.append(data, size);
    return FileStatus{};
  }
  FileStatus Close(FileHandle) const override { return FileStatus{}; }

 private:
  mutable int writes_ = 0;
};

inline std::vector<std::string> Segments(std::string_view file) {
  std::vector<std::string> segments;
  for (std::size_t at = 0; at < file.size(); at += 128) segments.emplace_back(file.substr(at, 128));
  return segments;
}

// The field at position `pos` (counted from 1) of `width` characters.
inline std::string Field(std::string_view segment, std::size_t pos, std::size_t width) {
  return std::string(segment.substr(pos - 1, width));
}

inline std::string B(std::size_t n) { return std::string(n, ' '); }
inline std::string Left(std::string text, std::size_t width) { return text.append(width - text.size(), ' '); }

// The ordering party: its accents show whether a record cleans its lines.
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

// The DTA file of a batch, written on 2 April 2024.
inline std::string DtaFile(const PaymentList& payments, const PaySettingRecord& settings = SampleSettings()) {
  ScopedClock clock(FixedClock(SYSTEMTIME{.wYear = 2024, .wMonth = 4, .wDay = 2}));
  MemoryFileSystem file_system;
  WriteDtaFile(settings, payments, "pay.dta", file_system);
  return file_system.bytes;
}

}  // namespace ordexa::dta_test
