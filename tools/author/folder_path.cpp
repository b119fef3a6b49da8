#include "tools/author/folder_path.h"

#include <fcntl.h>
#include <unistd.h>

#include <climits>

std::string FolderRealPath(const std::string& folder) {
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return "";
  char path[PATH_MAX];
  std::string link = "/proc/self/fd/" + std::to_string(fd);
  ssize_t length = readlink(link.c_str(), path, sizeof path - 1);
  close(fd);
  return length > 0 ? std::string(path, static_cast<std::size_t>(length)) : "";
}
