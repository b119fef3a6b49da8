#include "tools/edit/posix/posix_file_system.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace {

[[noreturn]] void Fail(const std::string& what) {
  throw std::system_error(errno, std::generic_category(), what);
}

FileStamp StampOf(const struct stat& info) {
  FileStamp stamp;
  stamp.exists = true;
  stamp.size = static_cast<std::uint64_t>(info.st_size);
  stamp.modified = static_cast<std::int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
  return stamp;
}

// Closes the descriptor however the function ends.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int get() const { return fd_; }
  int release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

std::string FolderOf(const std::string& path) {
  std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace

bool PosixFileSystem::Read(const Text& path, std::string& bytes, FileStamp& stamp) {
  const std::string name = ToUtf8(path);
  Descriptor file(open(name.c_str(), O_RDONLY | O_CLOEXEC));
  if (file.get() < 0) {
    if (errno == ENOENT) return false;
    Fail(name);
  }
  struct stat info;
  if (fstat(file.get(), &info) != 0) Fail(name);
  if (S_ISDIR(info.st_mode)) {
    errno = EISDIR;
    Fail(name);
  }
  bytes.clear();
  char buffer[64 * 1024];
  for (;;) {
    ssize_t got = read(file.get(), buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) Fail(name);
    if (got == 0) break;
    bytes.append(buffer, static_cast<std::size_t>(got));
  }
  stamp = StampOf(info);
  stamp.size = bytes.size();
  return true;
}

FileStamp PosixFileSystem::Stamp(const Text& path) {
  struct stat info;
  if (stat(ToUtf8(path).c_str(), &info) != 0) return FileStamp();
  return StampOf(info);
}

FileStamp PosixFileSystem::Replace(const Text& path, const std::string& bytes) {
  const std::string name = ToUtf8(path);
  const std::string folder = FolderOf(name);
  std::string temporary = folder + "/." + name.substr(name.rfind('/') + 1) + ".XXXXXX";
  Descriptor file(mkstemp(&temporary[0]));
  if (file.get() < 0) Fail(temporary);
  try {
    struct stat old;
    mode_t mode = stat(name.c_str(), &old) == 0 ? old.st_mode & 07777 : 0644;
    if (fchmod(file.get(), mode) != 0) Fail(temporary);
    for (std::size_t written = 0; written < bytes.size();) {
      ssize_t put = write(file.get(), bytes.data() + written, bytes.size() - written);
      if (put < 0 && errno == EINTR) continue;
      if (put < 0) Fail(temporary);
      written += static_cast<std::size_t>(put);
    }
    if (fsync(file.get()) != 0) Fail(temporary);
    if (close(file.release()) != 0) Fail(temporary);
    if (rename(temporary.c_str(), name.c_str()) != 0) Fail(name);
  } catch (...) {
    unlink(temporary.c_str());
    throw;
  }
  // The rename itself lasts once the folder is on the disk.
  Descriptor directory(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (directory.get() >= 0) fsync(directory.get());
  struct stat info;
  if (stat(name.c_str(), &info) != 0) Fail(name);
  return StampOf(info);
}
