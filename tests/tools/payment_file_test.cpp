// Failure messages of payfile when the file system fails the writer part-way: what the
// person reads, and that it tells truly what stays on disk.
#include "tools/payfile/payment_file.h"

#include <gtest/gtest.h>

#include <filesystem>
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
    std::string message;
    bool final_file_stays;
    bool temporary_file_stays;
  } cases[] = {
      {payDTA, FaultyFileSystem::Call::kWrite,
       "payfile: cannot write pay.file: writing the file failed\n"
       "payfile: the component reports: Ein Fehler beim schreiben der Datei ist aufgetreten. Status = 0x80070070\n"
       "payfile: pay.file stays behind, written only in part\n",
       true, false},
      {payEzag, FaultyFileSystem::Call::kCreate,
       "payfile: cannot write pay.file: the component could not write the file\n"
       "payfile: the component reports: Ein Fehler beim erstellen der folgenden Datei ist aufgetreten. Status = "
       "0x80070070 pay.file\n",
       false, false},
      {payISO, FaultyFileSystem::Call::kWrite,
       "payfile: cannot write pay.file: writing the file failed\n"
       "payfile: the component reports: error number 2002 (0x7D2)\n"
       "payfile: the temporary file \"pay.file.tmp\" stays behind; pay.file is untouched\n",
       false, true},
      {payISO, FaultyFileSystem::Call::kRename,
       "payfile: cannot write pay.file: the component could not write the file\n"
       "payfile: the component reports: HRESULT 0x80070070\n"
       "payfile: the temporary file \"pay.file.tmp\" stays behind; pay.file is untouched\n",
       false, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    test::TempDir dir;
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const ComPtr<CPayManager> manager = CPayManager::New();
    ComPtr<IDispatch> payment;
    ASSERT_EQ(S_OK, manager->NewPayment(payRedPost, payment.put()));
    FileRequest request;
    request.file_type = c.file_type;
    request.file_name = request.display_name = "pay.file";
    const WriteResult result =
        WritePaymentFile(*manager.get(), request, FaultyFileSystem(c.call, 1, kDiskFull));
    std::filesystem::current_path(previous);
    EXPECT_FALSE(result.written);
    EXPECT_EQ(c.message, result.message);
    EXPECT_EQ(c.final_file_stays, std::filesystem::exists(dir.Path("pay.file")));
    EXPECT_EQ(c.temporary_file_stays, std::filesystem::exists(dir.Path("pay.file.tmp")));
  }
}

}  // namespace
}  // namespace ordexa::payfile
