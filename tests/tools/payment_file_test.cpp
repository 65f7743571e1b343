// Failure messages of payfile when the file system fails the writer part-way: what the
// person reads, and that it tells truly what stays on disk.
#include "tools/payfile/payment_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>

#include "support/files.h"
#include "support/temp_dir.h"

namespace ordexa::payfile {
namespace {

using test::FaultyFileSystem;

constexpr std::uint32_t kDiskFull = 112;

TEST(WritePaymentFile, SaysWhatFailedAndWhatStaysOnDisk) {
  const struct {
    std::int32_t file_type;
    FaultyFileSystem::Call call;
    std::string message;  // without the last line, that the previous file is untouched
  } cases[] = {
      {payDTA, FaultyFileSystem::Call::kWrite,
       "payfile: cannot write pay.file: writing the file failed\n"
       "payfile: the component reports: Ein Fehler beim schreiben der Datei ist aufgetreten. Status = 0x80070070\n"},
      {payDTA, FaultyFileSystem::Call::kRename,
       "payfile: cannot write pay.file: the finished file \"pay.file.tmp\" could not take its place (status "
       "0x80070070)\n"},
      {payEzag, FaultyFileSystem::Call::kCreate,
       "payfile: cannot write pay.file: the component could not write the file\n"
       "payfile: the component reports: Ein Fehler beim erstellen der folgenden Datei ist aufgetreten. Status = "
       "0x80070070 pay.file.tmp\n"},
      {payISO, FaultyFileSystem::Call::kWrite,
       "payfile: cannot write pay.file: writing the file failed\n"
       "payfile: the component reports: error number 2002 (0x7D2)\n"},
      {payISO, FaultyFileSystem::Call::kRename,
       "payfile: cannot write pay.file: the component could not write the file\n"
       "payfile: the component reports: HRESULT 0x80070070\n"},
  };
  for (const bool previous_file : {false, true}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(c.message);
      test::TempDir dir;
      if (previous_file) test::WriteWholeFile(dir.Path("pay.file"), "the file of last month");
      const std::filesystem::path previous = std::filesystem::current_path();
      std::filesystem::current_path(dir.path());
      const ComPtr<CPayManager> manager = CPayManager::New();
      ComPtr<IDispatch> payment;
      ASSERT_EQ(S_OK, manager->NewPayment(payRedPost, payment.put()));
      FileRequest request;
      request.file_type = c.file_type;
      request.file_name = request.display_name = "pay.file";
      const WriteResult result = WritePaymentFile(*manager.get(), request, FaultyFileSystem(c.call, 1, kDiskFull));
      std::filesystem::current_path(previous);
      EXPECT_FALSE(result.written);
      EXPECT_EQ(c.message + (previous_file ? "payfile: pay.file is untouched\n" : ""), result.message);
      EXPECT_EQ(previous_file ? std::optional<std::string>("the file of last month") : std::nullopt,
                test::ReadWholeFile(dir.Path("pay.file")));
      EXPECT_FALSE(std::filesystem::exists(dir.Path("pay.file.tmp")));
    }
  }
}

}  // namespace
}  // namespace ordexa::payfile
