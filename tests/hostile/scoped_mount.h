// A tmpfs mounted over a test's folder in a mount namespace of the test process's own, so
// that nothing outside the process sees it and it goes when the process ends.
#pragma once

#include <sched.h>
#include <sys/mount.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace ordexa::test {

class ScopedTmpfs {
 public:
  // `options` as for mount(8), e.g. "size=64k"; `read_only` mounts it read-only.
  ScopedTmpfs(const std::string& folder, const std::string& options, bool read_only) : folder_(folder) {
    if (::unshare(CLONE_NEWNS) != 0) {
      reason_ = std::string("no mount namespace of its own: ") + std::strerror(errno);
      return;
    }
    // Mounts made from here on stay in this process's namespace.
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
      reason_ = std::string("mounts cannot be made private: ") + std::strerror(errno);
      return;
    }
    const unsigned long flags = MS_NOSUID | MS_NODEV | (read_only ? MS_RDONLY : 0);
    if (::mount("tmpfs", folder.c_str(), "tmpfs", flags, options.c_str()) != 0) {
      reason_ = std::string("tmpfs cannot be mounted: ") + std::strerror(errno);
      return;
    }
    mounted_ = true;
  }
  ~ScopedTmpfs() {
    if (mounted_) ::umount2(folder_.c_str(), MNT_DETACH);
  }
  ScopedTmpfs(const ScopedTmpfs&) = delete;
  ScopedTmpfs& operator=(const ScopedTmpfs&) = delete;

  bool mounted() const { return mounted_; }
  // Why the folder could not be mounted (for the message of a skipped test).
  const std::string& reason() const { return reason_; }

 private:
  std::string folder_;
  bool mounted_ = false;
  std::string reason_;
};

}  // namespace ordexa::test
