#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <sys/wait.h>

namespace mktooltest {

// What a run of the tool left behind.
struct Run {
  int exitCode;
  std::string out, err;
};

inline std::string Slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

// A fresh directory for one test, removed afterwards.
class ScratchDirectory {
 public:
  ScratchDirectory() {
    std::string pattern =
        (std::filesystem::temp_directory_path() / "mkmanikin-test-XXXXXX").string();
    if (!mkdtemp(pattern.data())) ADD_FAILURE() << "cannot make a scratch directory";
    path = pattern;
  }
  ~ScratchDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::filesystem::path operator/(const std::string& name) const { return path / name; }
  // Names of the entries, for checking that nothing else was left.
  std::vector<std::string> Entries() const {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(path))
      names.push_back(entry.path().filename().string());
    return names;
  }

  std::filesystem::path path;
};

// Runs the built tool with `arguments` through the shell, capturing both streams.
inline Run RunTool(const std::vector<std::string>& arguments) {
  ScratchDirectory capture;
  std::string command = std::string("'") + MKMANIKIN_TOOL + "'";
  for (const std::string& a : arguments) {
    std::string quoted;
    for (char c : a) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    command += " '" + quoted + "'";
  }
  command += " >'" + (capture / "out").string() + "' 2>'" + (capture / "err").string() + "'";
  const int status = std::system(command.c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, Slurp(capture / "out"),
          Slurp(capture / "err")};
}

}  // namespace mktooltest
