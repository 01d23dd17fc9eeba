#include "host/KelFile.h"

#include <cstdio>
#include <mutex>
#include <vector>

namespace {

// Open files by handle; slot 0 is never used so that a handle is never 0.
// Threads open and close their own files at once, so the table is locked;
// a handle's file is used by one thread only.
std::vector<std::FILE*>& OpenFiles() {
  static std::vector<std::FILE*> files(1, nullptr);
  return files;
}

std::mutex& OpenFilesMutex() {
  static std::mutex mutex;
  return mutex;
}

std::FILE* FileOf(unsigned int handle) {
  const std::lock_guard<std::mutex> lock(OpenFilesMutex());
  auto& files = OpenFiles();
  return handle < files.size() ? files[handle] : nullptr;
}

}  // namespace

int KelFOpen(const KelUnicodeString* path, const char* mode, unsigned int* handle) {
  if (!path || !mode || !handle || path->GetLengthInChar() == 0) return -1;
  std::FILE* file = std::fopen(path->ConvertToChar(), mode);
  if (!file) return -1;
  const std::lock_guard<std::mutex> lock(OpenFilesMutex());
  auto& files = OpenFiles();
  for (unsigned int i = 1; i < files.size(); ++i) {
    if (!files[i]) {
      files[i] = file;
      *handle = i;
      return 0;
    }
  }
  files.push_back(file);
  *handle = static_cast<unsigned int>(files.size() - 1);
  return 0;
}

int KelFSize(unsigned int handle, unsigned int* size) {
  std::FILE* file = FileOf(handle);
  if (!file || !size) return -1;
  const long here = std::ftell(file);
  if (here < 0 || std::fseek(file, 0, SEEK_END) != 0) return -1;
  const long end = std::ftell(file);
  if (std::fseek(file, here, SEEK_SET) != 0 || end < 0 || end > 0x7FFFFFFFL) return -1;
  *size = static_cast<unsigned int>(end);
  return 0;
}

int KelFRead(unsigned int handle, void* buffer, unsigned int size, unsigned int* read) {
  std::FILE* file = FileOf(handle);
  if (!file || !buffer || !read) return -1;
  *read = static_cast<unsigned int>(std::fread(buffer, 1, size, file));
  return std::ferror(file) ? -1 : 0;
}

int KelFGets(char* buffer, int maximum, unsigned int handle) {
  std::FILE* file = FileOf(handle);
  if (!file || !buffer || maximum < 1) return -1;
  return std::fgets(buffer, maximum, file) ? 0 : -1;
}

int KelFEof(unsigned int handle) {
  std::FILE* file = FileOf(handle);
  if (!file) return -1;
  return std::feof(file) ? 1 : 0;
}

int KelFClose(unsigned int handle) {
  std::FILE* file = nullptr;
  {
    const std::lock_guard<std::mutex> lock(OpenFilesMutex());
    auto& files = OpenFiles();
    if (handle >= files.size() || !files[handle]) return -1;
    file = files[handle];
    files[handle] = nullptr;
  }
  return std::fclose(file) == 0 ? 0 : -1;
}
