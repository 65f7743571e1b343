// Each file call failing through the file seam, for every writer: the failure it raises and
// what stays on disk. DTA and EZAG files are written in their place and keep what was
// written; the ISO writers write a temporary file, so the final file keeps its old content.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "dta/dta_writer.h"
#include "ezag/ezag_writer.h"
#include "hostile/outcomes.h"
#include "iso/iso_writer.h"
#include "iso2019/iso2019_writer.h"
#include "platform/buffered_file.h"
#include "platform/clock.h"
#include "support/batch.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace ordexa {
namespace {

using Call = test::FaultyFileSystem::Call;
using test::Raised;

void Write(std::int32_t file_type, PayBatch& batch, const std::string& name, const FileSystem& file_system) {
  if (file_type == payDTA) WriteDtaFile(batch, name, file_system);
  if (file_type == payEzag) WriteEzagFile(batch, name, file_system);
  if (file_type == payISO) WriteIsoFile(batch, name, "2026-12", true, file_system);
  if (file_type == payISO2019) WriteIso2019File(batch, name, "2026-12", true, file_system);
}

// A file after the failure: none, last month's, empty, a true beginning of the whole file, the whole file.
enum Kept { kNone, kOld, kEmpty, kPrefix, kWhole };

TEST(FileSeamFaults, EachWriterRaisesItsFailureAndKeepsWhatItsFormatSays) {
  constexpr std::uint32_t kNotFound = 3, kDenied = 5, kSharing = 32, kDiskFull = 112;
  const struct {
    std::int32_t file_type;
    Call call;
    int fail_from;
    std::uint32_t error;
    const char* raised;
    Kept final, temporary;
  } rows[] = {
      {payDTA, Call::kWrite, 1, kDiskFull, "2002 0x80070070", kEmpty, kNone},
      {payDTA, Call::kWrite, 2, kDiskFull, "2002 0x80070070", kPrefix, kNone},
      {payEzag, Call::kWrite, 1, kDiskFull, "2002 0x80070070", kEmpty, kNone},
      {payEzag, Call::kWrite, 2, kDiskFull, "2002 0x80070070", kPrefix, kNone},
      // The 2009 writer raises the runtime's numbers: a sharing violation is EACCES.
      {payISO, Call::kCreate, 1, kSharing, "number 13", kOld, kNone},
      {payISO, Call::kWrite, 1, kSharing, "number 2002", kOld, kEmpty},
      {payISO, Call::kWrite, 3, kSharing, "number 2002", kOld, kPrefix},
      {payISO, Call::kSync, 1, kSharing, "hresult 0x80070020", kOld, kWhole},
      {payISO, Call::kClose, 1, kSharing, "hresult 0x80070020", kOld, kWhole},
      {payISO, Call::kRename, 1, kSharing, "hresult 0x80070020", kOld, kWhole},
      // The 2019 writer removes its temporary file.
      {payISO2019, Call::kCreate, 1, kNotFound, "2001 0x80070003", kOld, kNone},
      {payISO2019, Call::kWrite, 1, kDiskFull, "2002 0x80070070", kOld, kNone},
      {payISO2019, Call::kSync, 1, kDiskFull, "2002 0x80070070", kOld, kNone},
      {payISO2019, Call::kRename, 1, kDenied, "2002 0x80070005", kOld, kNone},
  };
  const ScopedClock clock(FixedClock(SYSTEMTIME{.wYear = 2026, .wMonth = 12, .wDay = 20, .wHour = 10}));
  // A salary every writer takes, 3,000 times: several buffers, so several writes.
  test::SettingFields settings;
  settings.sender = {"Muster AG", "", "Bahnhofstrasse 1", "8001 Z\xFCrich", "", "", ""};
  settings.dta_id = "ABC12";
  test::PaymentFields payment;
  payment.type = payIban;
  payment.date = 46379.0;  // 23 December 2026
  payment.amount.int64 = 52304000;
  payment.reason = "Lohn Dezember";
  payment.bank_src.account = "CH9300762011623852957";
  payment.bank_dst.account = "CH5604835012345678009";
  payment.receiver = {"Anna M\xFCller", "", "Seeweg 2", "8002 Z\xFCrich", "", "", ""};
  PayBatch batch;
  test::FillBatch(batch, settings, test::PaymentFieldsList(3000, payment));
  const test::TempDir dir;
  const std::string name = dir.Path("pay.file"), temporary = name + ".tmp";
  for (const auto& row : rows) {
    SCOPED_TRACE(testing::Message() << "file type " << row.file_type << ", call " << static_cast<int>(row.call));
    Write(row.file_type, batch, name, SystemFileSystem());
    const std::string whole = test::ReadWholeFile(name).value_or("");
    ASSERT_GT(whole.size(), 3 * BufferedFile::kBufferSize);
    test::WriteWholeFile(name, "last month");
    EXPECT_EQ(row.raised, Raised([&] { Write(row.file_type, batch, name, test::FaultyFileSystem(row.call, row.fail_from, row.error)); }));
    for (const auto& [path, expected] : {std::pair{name, row.final}, std::pair{temporary, row.temporary}}) {
      const std::optional<std::string> kept = test::ReadWholeFile(path);
      const bool as_expected = expected == kNone    ? !kept
                               : expected == kOld   ? kept == "last month"
                               : expected == kEmpty ? kept == ""
                               : expected == kWhole ? kept == whole
                                                    : kept && !kept->empty() && kept->size() < whole.size() &&
                                                          whole.starts_with(*kept);
      EXPECT_TRUE(as_expected) << path << ": " << (kept ? std::to_string(kept->size()) + " bytes" : "no file");
    }
    std::remove(temporary.c_str());
  }
}

}  // namespace
}  // namespace ordexa
