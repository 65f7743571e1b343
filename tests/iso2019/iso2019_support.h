// Shared pieces of the 2019 ISO tests: batches from compact descriptions, calendar days,
// the written document read back and validated.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>

#include "iso2019/iso2019_writer.h"
#include "support/batch.h"
#include "support/files.h"
#include "support/shared_files.h"
#include "support/temp_dir.h"
#include "support/xml_reader.h"

namespace ordexa::test {

inline constexpr char kIso2019Namespace[] = "urn:iso:std:iso:20022:tech:xsd:pain.001.001.09";

// The automation date of a calendar day (day 0 is 30 December 1899).
inline DATE Day(int y, unsigned m, unsigned d) {
  using namespace std::chrono;
  return static_cast<DATE>((sys_days{year{y} / month{m} / day{d}} - sys_days{1899y / December / 30}).count());
}

// An amount in hundredths, as the currency's minor unit.
inline CY Cents(std::int64_t cents) { return CY{cents * 100}; }

inline std::string Iso2019Schema(bool swiss) {
  return std::string(ORDEXA_SHARED_DIR) + (swiss ? "/xsd/pain.001.001.09.ch.03.xsd" : "/xsd/pain.001.001.09.xsd");
}

// A structured address: the five parts set, the old texts left empty.
inline AddressFields Structured(std::string name, std::string street, std::string building, std::string post_code,
                                std::string town, std::string country) {
  AddressFields address;
  address.name1 = std::move(name);
  address.street_name = std::move(street);
  address.building_number = std::move(building);
  address.post_code = std::move(post_code);
  address.town = std::move(town);
  address.country = std::move(country);
  return address;
}

// WriteValidIso2019(): writes `batch` as a 2019 file into `dir`, checks it against its schema
// and returns its bytes ("" after a failed test assertion).
inline std::string WriteValidIso2019(const PayBatch& batch, const TempDir& dir, bool swiss,
                                     const std::string& period = "2026-12") {
  const std::string path = dir.Path(swiss ? "pay-ch.xml" : "pay.xml");
  WriteIso2019File(batch, path, period, swiss);
  std::string bytes = ReadWholeFile(path).value_or("");
  const XmlReader reader(bytes);
  EXPECT_EQ("", reader.SchemaErrors(Iso2019Schema(swiss))) << bytes;
  return bytes;
}

}  // namespace ordexa::test
