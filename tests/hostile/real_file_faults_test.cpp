// Writing to places that fail for real, without the file seam: a full device, a read-only
// folder, a folder in the file's place, a missing folder, names the file system refuses, a
// file system that runs out of space part-way. Each writer raises the failure that names
// the cause, WriteFile still returns S_OK, and what stays on disk is what the formats say:
// nothing, or a beginning of the file (DTA, EZAG); ISO never touches the final file.
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "hostile/outcomes.h"
#include "model/pay_manager.h"
#include "platform/clock.h"
#include "support/bstr.h"
#include "support/files.h"
#include "support/temp_dir.h"

namespace ordexa {
namespace {

using test::Raised;
using test::ReadWholeFile;

// A tmpfs mounted over a test's folder in a mount namespace of the test process's own, so
// that nothing outside the process sees it and it goes when the process ends.
class ScopedTmpfs {
 public:
  // `options` as for mount(8), e.g. "size=64k"; `read_only` mounts it read-only. Mounts made
  // once the namespace is unshared and its mounts private stay in this process's namespace.
  ScopedTmpfs(const std::string& folder, const std::string& options, bool read_only) : folder_(folder) {
    const unsigned long flags = MS_NOSUID | MS_NODEV | (read_only ? MS_RDONLY : 0);
    const char* failed = ::unshare(CLONE_NEWNS) != 0 ? "no mount namespace of its own"
                         : ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0
                             ? "mounts cannot be made private"
                         : ::mount("tmpfs", folder.c_str(), "tmpfs", flags, options.c_str()) != 0
                             ? "tmpfs cannot be mounted"
                             : nullptr;
    mounted_ = failed == nullptr;
    if (failed != nullptr) reason_ = std::string(failed) + ": " + std::strerror(errno);
  }
  ~ScopedTmpfs() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  ScopedTmpfs(const ScopedTmpfs&) = delete;

  bool mounted() const { return mounted_; }
  const std::string& reason() const { return reason_; }  // why it could not be mounted

 private:
  std::string folder_;
  bool mounted_ = false;
  std::string reason_;
};

// A batch of `count` IBAN payments with a salary reason.
ComPtr<CPayManager> IbanBatch(int count) {
  ComPtr<CPayManager> manager = CPayManager::New();
  PayBatch& batch = const_cast<PayBatch&>(manager->batch());
  batch.SetText(batch.settings.dta_id, "ABC12");
  batch.SetText(batch.settings.sender.name1, "Veltrano AG");
  for (int i = 0; i < count; ++i) {
    PaymentRecord& payment = batch.payments.emplace_back();
    payment.type = payIban;
    payment.date = 46000.0;
    payment.amount.int64 = 1234500;
    batch.SetText(payment.reason, "Lohn Dezember");
    batch.SetText(payment.bank_src.account, "CH9300762011623852957");
    batch.SetText(payment.bank_dst.account, "CH9300762011623852957");
    batch.SetText(payment.receiver.name1, "Anna Meier");
    batch.SetText(payment.receiver.city, "3000 Bern");
  }
  return manager;
}

HRESULT WriteThroughInterface(CPayManager& manager, const std::string& name, PayFileTypes type) {
  const std::u16string wide(name.begin(), name.end());
  const test::Bstr file_name(wide), period(u"2026-12");
  return manager.WriteFile(file_name, type, period, VARIANT_TRUE);
}

struct Format {
  PayFileTypes type;
  const char* extension;
};
constexpr Format kFormats[] = {{payDTA, ".dta"}, {payEzag, ".ezag"}, {payISO, ".xml"}};

class RealFileFaults : public testing::Test {
 protected:
  const ScopedClock clock_{FixedClock(SYSTEMTIME{.wYear = 2026, .wMonth = 12, .wDay = 6})};
  const test::TempDir dir_;
  ComPtr<CPayManager> manager_ = IbanBatch(3);
};

// A missing folder, names the file system or the platform refuses, a folder in the file's
// place: each format raises the failure that names the cause and leaves no file.
TEST_F(RealFileFaults, PlacesThatCannotHoldTheFileNameTheCauseAndGetNothing) {
  // Within the platform's name length in code page 1252, but each 'ä' takes two bytes on
  // disk: longer than a name the file system allows.
  const struct {
    std::string name;
    std::string fixed_record_failure, iso_failure;
    bool folder = false;
  } cases[] = {
      {dir_.Path("missing/pay"), "2001 0x80070003", "number 2"},  // the runtime says ENOENT
      {dir_.Path(std::string(130, '\xE4')), "2001 0x800700CE", "number 2"},
      {dir_.Path(std::string(261, 'n')), "2001 0x800700CE", "number 2"},
      // The ISO document is written in full beside the folder; only putting it in its place fails.
      {dir_.Path("folder"), "2001 0x80070005", "hresult 0x80070005", true},
  };
  for (const auto& c : cases) {
    for (const Format& format : kFormats) {
      const std::string name = c.name + format.extension;
      SCOPED_TRACE(name);
      if (c.folder) {
        ASSERT_EQ(0, ::mkdir(name.c_str(), 0755));
      }
      EXPECT_EQ(format.type == payISO ? c.iso_failure : c.fixed_record_failure,
                Raised([&] { manager_->WriteBatch(format.type, name, "2026-12", true); }));
      EXPECT_EQ(S_OK, WriteThroughInterface(*manager_.get(), name, format.type));
      std::error_code no_name;
      EXPECT_EQ(c.folder, std::filesystem::exists(name, no_name));
      if (c.folder) {
        EXPECT_TRUE(std::filesystem::is_empty(name));
      }
      if (c.folder && format.type == payISO) {
        EXPECT_TRUE(ReadWholeFile(name + ".tmp").value_or("").ends_with("</Document>\r\n"));
      }
    }
  }
}

TEST_F(RealFileFaults, AReadOnlyFolderGetsNoFile) {
  const std::string folder = dir_.Path("locked");
  ASSERT_EQ(0, ::mkdir(folder.c_str(), 0555));
  std::optional<ScopedTmpfs> read_only_mount;
  if (::access(folder.c_str(), W_OK) == 0) {
    // Permissions do not hold for root: a read-only file system does.
    read_only_mount.emplace(folder, "size=64k", true);
    if (!read_only_mount->mounted()) GTEST_SKIP() << "permissions are not enforced (root) and " << read_only_mount->reason();
  }
  for (const Format& format : kFormats) {
    const std::string name = folder + "/pay" + format.extension;
    EXPECT_EQ(format.type == payISO ? "number 13" : "2001 0x80070005",  // EACCES from the runtime
              Raised([&] { manager_->WriteBatch(format.type, name, "2026-12", true); }))
        << name;
    EXPECT_EQ(S_OK, WriteThroughInterface(*manager_.get(), name, format.type));
  }
  EXPECT_TRUE(std::filesystem::is_empty(folder));
}

TEST_F(RealFileFaults, AFullDeviceFailsTheFirstWrite) {
  if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no writable /dev/full here";
  // The ISO writer would write its temporary file beside the device; only the record formats go there.
  for (const Format& format : {kFormats[0], kFormats[1]}) {
    EXPECT_EQ("2002 0x80070070", Raised([&] { manager_->WriteBatch(format.type, "/dev/full", "", false); }));
    EXPECT_EQ(S_OK, WriteThroughInterface(*manager_.get(), "/dev/full", format.type));
  }
}

TEST_F(RealFileFaults, AFileSystemThatRunsOutOfSpaceKeepsABeginningAndIsoKeepsTheOldFile) {
  // Large enough to need several writes to a 64 KiB file system.
  ComPtr<CPayManager> large = IbanBatch(400);
  const std::string folder = dir_.Path("small");
  ASSERT_EQ(0, ::mkdir(folder.c_str(), 0755));
  const ScopedTmpfs small_disk(folder, "size=64k", false);
  if (!small_disk.mounted()) GTEST_SKIP() << small_disk.reason();

  for (const Format& format : kFormats) {
    SCOPED_TRACE(format.extension);
    const std::string name = folder + "/pay" + format.extension, whole_name = dir_.Path("whole") + format.extension;
    large->WriteBatch(format.type, whole_name, "2026-12", true);
    const std::string whole = ReadWholeFile(whole_name).value_or("");
    ASSERT_GT(whole.size(), 100000u);
    test::WriteWholeFile(name, "last month's file");

    EXPECT_EQ(format.type == payISO ? "number 2002" : "2002 0x80070070",
              Raised([&] { large->WriteBatch(format.type, name, "2026-12", true); }));
    if (format.type == payISO) {
      EXPECT_EQ("last month's file", ReadWholeFile(name));
      EXPECT_TRUE(whole.starts_with(ReadWholeFile(name + ".tmp").value_or("(none)")));
      std::filesystem::remove(name + ".tmp");
    } else {
      const std::string part = ReadWholeFile(name).value_or("(none)");
      EXPECT_LT(part.size(), whole.size());
      EXPECT_TRUE(whole.starts_with(part));
    }
    EXPECT_EQ(S_OK, WriteThroughInterface(*large.get(), name, format.type));
    std::filesystem::remove(name);
    std::filesystem::remove(name + ".tmp");
  }
}

}  // namespace
}  // namespace ordexa
