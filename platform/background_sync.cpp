// A helper thread that syncs a file while it is being written.
#include "platform/background_sync.h"

#include <exception>

namespace ordexa {

void BackgroundSync::Request() {
  {
    const std::lock_guard lock(mutex_);
    if (finishing_ || no_thread_ || failure_.error != 0) return;
    requested_ = true;
  }
  if (thread_.joinable()) {
    wake_.notify_one();
    return;
  }
  try {
    thread_ = std::thread([this] { Serve(); });
  } catch (const std::exception&) {
    // No thread (none left, or no memory for one): the sync at the end does it all.
    const std::lock_guard lock(mutex_);
    requested_ = false;
    no_thread_ = true;
  }
}

void BackgroundSync::Serve() {
  std::unique_lock lock(mutex_);
  for (;;) {
    wake_.wait(lock, [this] { return requested_ || finishing_; });
    if (!requested_) return;  // finishing, and nothing left asked for
    requested_ = false;
    lock.unlock();
    const FileStatus synced = file_system_.Sync(handle_);
    lock.lock();
    if (!synced && failure_.error == 0) failure_ = synced;
    if (failure_.error != 0 || finishing_) return;
  }
}

FileStatus BackgroundSync::Finish() {
  {
    const std::lock_guard lock(mutex_);
    finishing_ = true;
    requested_ = false;  // the caller's own sync follows
  }
  wake_.notify_one();
  if (thread_.joinable()) thread_.join();
  const std::lock_guard lock(mutex_);
  return failure_;
}

}  // namespace ordexa
