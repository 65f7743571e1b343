// The floor of `payfile write` for one batch and one output: a process that does only
// what no writer can avoid. It reads the batch file into memory in one piece, as payfile
// does, and has the system copy the output file's bytes (prepared beforehand, in the page
// cache) to NAME.tmp, syncs it and renames it over NAME, as payfile does for every type.
//   ordexa_write_floor BATCH.json PREPARED_OUTPUT NAME
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/sendfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

// The batch file's bytes in memory taken the way payfile takes it: one anonymous mapping
// with its pages in place (MAP_POPULATE), then one read. Memory zero-filled page by page
// would cost the floor what payfile does not pay.
struct Mapped {
  void* data = MAP_FAILED;
  std::size_t size = 0;
  ~Mapped() {
    if (data != MAP_FAILED) munmap(data, size);
  }
};

bool ReadWhole(const char* path, Mapped& bytes) {
  const int fd = open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info {};
  bool ok = fstat(fd, &info) == 0;
  if (ok) {
    bytes.size = static_cast<std::size_t>(info.st_size) + 64;  // and the parser's padding
    bytes.data = mmap(nullptr, bytes.size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_POPULATE, -1, 0);
    ok = bytes.data != MAP_FAILED;
  }
  const auto size = static_cast<std::size_t>(info.st_size);
  for (std::size_t done = 0; ok && done < size;) {
    const ssize_t n = read(fd, static_cast<char*>(bytes.data) + done, size - done);
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
  }
  close(fd);
  return ok;
}

bool WriteThroughTemporary(const char* prepared, const std::string& name) {
  const int in = open(prepared, O_RDONLY | O_CLOEXEC);
  if (in < 0) return false;
  struct stat info {};
  if (fstat(in, &info) != 0) {
    close(in);
    return false;
  }
  const auto size = static_cast<std::size_t>(info.st_size);
  const std::string temporary = name + ".tmp";
  const int out = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  bool ok = out >= 0;
  // The copy stays in the kernel: no page of the prepared bytes is touched by this process.
  for (std::size_t done = 0; ok && done < size;) {
    const ssize_t n = sendfile(out, in, nullptr, size - done);
    ok = n > 0;
    if (ok) done += static_cast<std::size_t>(n);
  }
  close(in);
  ok = ok && fsync(out) == 0;
  if (out >= 0) ok = close(out) == 0 && ok;
  return ok && std::rename(temporary.c_str(), name.c_str()) == 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: ordexa_write_floor BATCH.json PREPARED_OUTPUT NAME\n");
    return 2;
  }
  Mapped batch;
  if (!ReadWhole(argv[1], batch)) {
    std::fprintf(stderr, "ordexa_write_floor: cannot read %s: %s\n", argv[1], std::strerror(errno));
    return 1;
  }
  if (!WriteThroughTemporary(argv[2], argv[3])) {
    std::fprintf(stderr, "ordexa_write_floor: cannot write %s: %s\n", argv[3], std::strerror(errno));
    return 1;
  }
  return 0;
}
