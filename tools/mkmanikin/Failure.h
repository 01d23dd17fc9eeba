#pragma once

#include <stdexcept>
#include <string>

namespace mkcli {

// Exit codes of the tool.
enum ExitCode : int {
  kExitSuccess = 0,
  // The library refused the manikin, or an output could not be written.
  kExitFailure = 1,
  // The command line is wrong: unknown option, bad value, missing argument.
  kExitUsage = 2
};

// Ends the command: `what()` is the message for standard error, without the
// program name.
class Failure : public std::runtime_error {
 public:
  Failure(ExitCode code, const std::string& message) : std::runtime_error(message), code(code) {}
  ExitCode Code() const { return code; }

 private:
  ExitCode code;
};

inline Failure UsageError(const std::string& message) {
  return Failure(kExitUsage, message);
}

}  // namespace mkcli
