#pragma once

#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace mkcli {

// One dimension the user fixes, as given on the command line.
struct FixRequest {
  std::string option;   // "--fix" or "--fix-percentile"
  std::string text;     // the argument as typed, for messages
  std::string acronym;  // upper case, without angle brackets
  double number;        // centimetres (kilograms for the weight), or a percentile
  bool isPercentile;
};

// What describes a manikin on the command line, shared by `create` and `export`.
struct ManikinSpec {
  int sex = -1;  // 0 female, 1 male
  double percentile = 50.0;
  std::string population;
  std::vector<FixRequest> fixes;
  std::optional<double> accommodation;  // percent
};

// Raw option values, bound to a command's options.
struct ManikinOptions {
  std::string sex;
  double percentile = 50.0;
  std::string population;
  std::vector<std::string> fixes;
  std::vector<std::string> fixPercentiles;
  std::optional<double> accommodation;

  void AddTo(CLI::App& command);
  // Checks what the parser could not (the form of every --fix, repeated
  // dimensions); throws a usage Failure.
  ManikinSpec Spec() const;
};

// "<STATURE>", "stature" and "STATURE" all name the stature: "STATURE".
std::string BareAcronym(std::string text);

// A paragraph on the manikin options, for the help of the commands.
std::string ManikinOptionsHelp();

}  // namespace mkcli
