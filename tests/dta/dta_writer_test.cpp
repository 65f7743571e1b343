// Tests of the DTA file: record order, entry sequence numbers, the TA 890 total record, a
// whole file, and what stays on disk when creating or writing fails.
#include "dta/dta_writer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <limits>

#include "model/failure/failure.h"
#include "tests/dta/segments.h"

namespace ordexa::dta_test {
namespace {

PaymentList Batch(std::initializer_list<std::pair<std::int32_t, std::int64_t>> payments) {
  PaymentList list;
  for (const auto& [type, amount] : payments) list.push_back(SamplePayment(type, amount));
  return list;
}

TEST(WriteDtaFile, EntrySequenceNumbersAndTotal) {
  const struct {
    PaymentList payments;
    std::vector<std::string> records;  // transaction type and entry sequence number
    std::string total_record;          // TA 890, 44-69
  } cases[] = {
      {{}, {}, "00001890" "00" + Left("0,00", 16)},
      {Batch({{payForeign, 100000}, {payESR15, 50000}}), {"826 00002"}, "00003890" "00" + Left("15,00", 16)},
      {Batch({{payIban, 1000000}, {payManual, 505000}}), {"836 00001", "827 00002"},
       "00003890" "00" + Left("150,50", 16)},
      {Batch({{10, 10000}, {payPostmandat, 10000}, {-1, 10000}, {payESR17, -50000}}), {"827 00002", "826 00004"},
       "00005890" "00" + Left("-2,00", 16)},
      // No overflow check: the total wraps around to the most negative amount.
      {Batch({{payForeign, std::numeric_limits<std::int64_t>::max()}, {payForeign, 1}}), {},
       "00003890" "00" "-922337203685477"},
  };
  for (const auto& c : cases) {
    const std::string file = DtaFile(c.payments);
    const std::vector<std::string> segments = Segments(file);
    std::vector<std::string> records;
    for (std::size_t i = 0; i + 1 < segments.size(); ++i) {
      if (segments[i].starts_with("01")) records.push_back(Field(segments[i], 49, 3) + " " + Field(segments[i], 44, 5));
    }
    EXPECT_EQ(c.records, records);
    EXPECT_EQ(0u, file.size() % 128);
    EXPECT_EQ("01000000" + B(12) + "00000240402" + B(7) + "AB-12" + c.total_record + B(59), segments.back());
  }
}

TEST(WriteDtaFile, WholeFile) {
  PaySettingRecord settings = SampleSettings();
  settings.is_salary = true;
  PaymentList payments = Batch({{payRedPost, 2500000}, {payForeign, 100000}, {payESR16, 1234500}, {payIban, 15005000}});
  payments[2].bank_dst.account = "01-162";
  payments[2].esr = "12345";
  payments[2].receiver = {"Stadtwerke", "", "Postfach", "8000 Z\xFCrich", "", "", ""};
  payments[3].date = 0.0;
  payments[3].currency = "eur";
  payments[3].bank_dst = {"Commerzbank", "", "", "K\xF6ln", "", "de89 3704 0044 0532 0130 00", "COBADEFFXXX"};
  payments[3].receiver = {"Anna Schmid", "", "Hauptstr. 7", "10115 Berlin", "", "", ""};
  payments[3].reason = "Gehalt";
  const std::string swiss_iban = Left("CH9300762011623852957", 24);
  const std::vector<std::string> expected = {
      "01240320" + B(12) + "00000240402" "8390   AB-1200001827" "10SND01M0100010001" + swiss_iban + B(6) + "CHF" +
          Left("250,00", 12) + B(14),
      "02" + Left("M\xFCller AG", 24) + Left("Lohnb\xFCro", 24) + Left("Bahnhofstr. 1", 24) +
          Left("8001 Z\xFCrich", 24) + B(30),
      "03/C/" + Left("010023456", 27) + Left("HANS MEIER", 24) + Left("C/O ANNCHEN", 24) +
          Left("DORFSTRASSE 5", 24) + Left("3000 BERN", 24),
      "04" + Left("LOHN MARZ 2024", 112) + B(14),
      "01240320" + B(12) + "00000240402" "8390   AB-1200003826" "00SND01M0100010003" "CH93 0076 2011 6238 5295" +
          B(6) + "CHF" + Left("123,45", 12) + B(14),
      "02" + Left("MULLER AG", 20) + Left("LOHNBURO", 20) + Left("BAHNHOFSTR. 1", 20) + Left("8001 ZURICH", 20) + B(46),
      "03/C/" "010001626" + Left("STADTWERKE", 20) + B(20) + Left("POSTFACH", 20) + Left("8000 ZURICH", 20) +
          std::string(22, '0') + "12345" + B(7),
      "01000000" + B(12) + "00000240402" "8390   AB-1200004836" "10SND01M0100010004" + swiss_iban + "240402" "EUR" +
          Left("1500,50", 15) + B(11),
      "02" + B(12) + Left("M\xFCller AG", 35) + Left("Bahnhofstr. 1", 35) + Left("8001 Z\xFCrich", 35) + B(9),
      "03A" + Left("COBADEFFXXX", 35) + B(35) + Left("DE89370400440532013000", 34) + B(21),
      "04" + Left("ANNA SCHMID", 35) + Left("HAUPTSTR. 7", 35) + Left("10115 BERLIN", 35) + B(21),
      "05U" + Left("GEHALT", 35) + B(70) + "2" + B(19),
      "01000000" + B(12) + "00000240402" + B(7) + "AB-1200005890" "00" + Left("1883,95", 16) + B(59),
  };
  for (const std::string& segment : expected) ASSERT_EQ(128u, segment.size()) << segment;
  EXPECT_EQ(expected, Segments(DtaFile(payments, settings)));
}

TEST(WriteDtaFile, CreateFailureRaises2001WithStatusAndName) {
  const std::filesystem::path dir = std::filesystem::temp_directory_path() / "ordexa_dta_create_failure";
  std::filesystem::remove_all(dir);
  const std::string name = (dir / "pay.dta").string();
  try {
    WriteDtaFile(SampleSettings(), PaymentList(), name);  // the real file system: no such directory
    ADD_FAILURE() << "no failure raised";
  } catch (const MPayError& error) {
    EXPECT_EQ(2001, error.id());
    EXPECT_EQ("Ein Fehler beim erstellen der folgenden Datei ist aufgetreten.\nStatus = 0x80070003\n\n" + name,
              error.text());
  }
  MemoryFileSystem denied;
  denied.create_error = ERROR_ACCESS_DENIED;
  try {
    WriteDtaFile(SampleSettings(), PaymentList(), "pay.dta", denied);
    ADD_FAILURE() << "no failure raised";
  } catch (const MPayError& error) {
    EXPECT_TRUE(error.text().ends_with("Status = 0x80070005\n\npay.dta")) << error.text();
  }
}

TEST(WriteDtaFile, WriteFailureRaises2002AndKeepsWhatWasWritten) {
  // 200 TA 827 records do not fit the output buffer, so the file is written in pieces.
  const PaymentList payments(200, SamplePayment(payManual));
  const std::string complete = DtaFile(payments);
  ScopedClock clock(FixedClock(SYSTEMTIME{.wYear = 2024, .wMonth = 4, .wDay = 2}));
  for (int fail_from_write : {1, 2}) {
    MemoryFileSystem disk_full;
    disk_full.fail_from_write = fail_from_write;
    try {
      WriteDtaFile(SampleSettings(), payments, "pay.dta", disk_full);
      ADD_FAILURE() << "no failure raised";
    } catch (const MPayError& error) {
      EXPECT_EQ(2002, error.id());
      EXPECT_EQ("Ein Fehler beim schreiben der Datei ist aufgetreten.\nStatus = 0x80070070", error.text());
    }
    EXPECT_EQ(fail_from_write == 1, disk_full.bytes.empty());
    EXPECT_EQ(complete.substr(0, disk_full.bytes.size()), disk_full.bytes);
  }
}

}  // namespace
}  // namespace ordexa::dta_test
