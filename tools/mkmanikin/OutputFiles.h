#pragma once

#include <string>
#include <vector>

namespace mkcli {

// Writes a set of files all or nothing: each is written in full to a
// temporary file beside its destination, and only when every one has been
// written are they renamed into place. Temporary files left by a failure
// are removed, so a destination is never seen half-written.
class OutputFiles {
 public:
  OutputFiles() = default;
  OutputFiles(const OutputFiles&) = delete;
  OutputFiles& operator=(const OutputFiles&) = delete;
  ~OutputFiles();

  // Writes `contents` for `path`; `option` names the argument that gave the
  // path, for the message of the Failure thrown when it cannot be written.
  void Stage(const std::string& path, const std::string& option, const std::string& contents);
  // Renames every staged file into place; throws a Failure (after removing
  // what is left) when a rename fails.
  void Commit();

 private:
  struct Staged {
    std::string temporary, path, option;
  };
  void Discard();

  std::vector<Staged> staged;
};

}  // namespace mkcli
