#include "OutputFiles.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "Failure.h"

namespace mkcli {
namespace {

Failure CannotWrite(const std::string& option, const std::string& path, int error) {
  return Failure(kExitFailure, option + " " + path + ": cannot write: " + std::strerror(error));
}

// Writes everything, retrying short writes; errno is set on failure.
bool WriteAll(int fd, const std::string& contents) {
  const char* data = contents.data();
  std::size_t left = contents.size();
  while (left > 0) {
    const ssize_t written = ::write(fd, data, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    data += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

}  // namespace

OutputFiles::~OutputFiles() {
  Discard();
}

void OutputFiles::Stage(const std::string& path, const std::string& option,
                        const std::string& contents) {
  if (path.empty()) throw UsageError(option + ": the file name is empty");
  struct stat info;
  if (::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
    throw CannotWrite(option, path, EISDIR);
  // Beside the destination, so that the rename stays on one file system.
  int fd = -1;
  std::string temporary;
  for (int attempt = 0; fd < 0 && attempt < 100; ++attempt) {
    temporary = path + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
    fd = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) throw CannotWrite(option, path, errno);
  staged.push_back({temporary, path, option});
  const bool written = WriteAll(fd, contents);
  const int writeError = errno;
  if (::close(fd) != 0 || !written) throw CannotWrite(option, path, written ? errno : writeError);
}

void OutputFiles::Commit() {
  for (std::size_t i = 0; i < staged.size(); ++i) {
    if (std::rename(staged[i].temporary.c_str(), staged[i].path.c_str()) != 0) {
      const int error = errno;
      const Staged failed = staged[i];
      staged.erase(staged.begin(), staged.begin() + static_cast<std::ptrdiff_t>(i));
      Discard();
      throw CannotWrite(failed.option, failed.path, error);
    }
  }
  staged.clear();
}

void OutputFiles::Discard() {
  for (const Staged& file : staged) std::remove(file.temporary.c_str());
  staged.clear();
}

}  // namespace mkcli
