#include "host/KelDataPath.h"

#include <dlfcn.h>

#include <cstdio>
#include <string>

#include "host/KelGetEnv.h"

namespace {

bool FileExists(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  std::fclose(file);
  return true;
}

// The installed data directory, found from where this library was loaded.
std::string DirectoryBesideLibrary() {
  Dl_info info{};
  if (!dladdr(reinterpret_cast<void*>(&KelFindDataFile), &info) || !info.dli_fname) return {};
  std::string library = info.dli_fname;
  const auto slash = library.rfind('/');
  if (slash == std::string::npos) return {};
  return library.substr(0, slash) + "/" + MK_LIB_TO_DATA_DIR;
}

}  // namespace

int KelGetDataDirectories(KelUnicodeString* directories, int maximum) {
  const std::string candidates[] = {
      KelGetEnv("MKManikinDataPath") ? KelGetEnv("MKManikinDataPath") : "",
      DirectoryBesideLibrary(), MK_SOURCE_DATA_DIR, MK_INSTALL_DATA_DIR};
  int count = 0;
  for (const std::string& dir : candidates) {
    if (dir.empty() || count >= maximum) continue;
    if (directories) directories[count] = dir.c_str();
    ++count;
  }
  return count;
}

KelUnicodeString KelFindDataFile(const char* name) {
  if (!name || !*name) return {};
  KelUnicodeString directories[4];
  const int count = KelGetDataDirectories(directories, 4);
  for (int i = 0; i < count; ++i) {
    const std::string path = std::string(directories[i].ConvertToChar()) + "/" + name;
    if (FileExists(path)) return path.c_str();
  }
  return {};
}
