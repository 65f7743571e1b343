// Syncs a file on a helper thread while it is still being written: the disk works through
// the file while the caller formats the rest of it, and the sync at the end finds little
// left to do.
#pragma once

#include <condition_variable>
#include <mutex>
#include <thread>

#include "platform/file_system.h"

namespace ordexa {

class BackgroundSync {
 public:
  BackgroundSync(const FileSystem& file_system, FileHandle handle) : file_system_(file_system), handle_(handle) {}
  ~BackgroundSync() { Finish(); }
  BackgroundSync(const BackgroundSync&) = delete;
  BackgroundSync& operator=(const BackgroundSync&) = delete;

  // Request(): asks for a sync of what the file holds now and returns at once. Requests
  // made while a sync runs are served by one more sync after it. The helper thread starts
  // at the first request; where none can be started, nothing is done here and the sync at
  // the end does it all.
  void Request();

  // Finish(): waits for the sync under way and stops the helper thread. Returns the first
  // failure of a sync made here: a failed sync may not be reported a second time, so the
  // caller's own sync at the end cannot be relied on to see it. The handle must stay open
  // until Finish() has returned.
  FileStatus Finish();

 private:
  void Serve();

  const FileSystem& file_system_;
  const FileHandle handle_;
  std::mutex mutex_;
  std::condition_variable wake_;
  bool requested_ = false;
  bool finishing_ = false;
  bool no_thread_ = false;  // starting the helper failed: requests are not taken any more
  FileStatus failure_;
  std::thread thread_;
};

}  // namespace ordexa
