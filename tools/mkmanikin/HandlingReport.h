#pragma once

// The manual-handling commands (lift, push, pull, carry): their shared
// options, the postures they analyse and the report they print.

#include <memory>
#include <string>
#include <vector>

#include "CommandSupport.h"
#include "ManikinOptions.h"
#include "OutputFormat.h"

class MKManikin;
class MKManikinPart;

namespace CLI {
class App;
}

namespace mkcli {

// One line of a report: a method, a quantity and its value (a number with
// its unit, or a text when `text` is not empty).
struct HandlingRow {
  std::string method, quantity;
  double value;
  std::string unit, text;
};

// The report as a text table, CSV (method,quantity,value,unit) or JSON
// ({method: {quantity: value or text}}, units in the quantity names).
std::string FormatHandling(const std::vector<HandlingRow>& rows, TableFormat format);

// The status of an analysis ("0: ..." with the catalogue text) and, when
// the analysis could not use its data file, why.
void AddStatusRows(std::vector<HandlingRow>& rows, const std::string& method, int status,
                   const std::string& message);

// What the lifting index asks for, in words.
std::string LiftingIndexInWords(double li);

// A posture given by name (--NAME-posture) or file (--NAME-file), turned
// into a posture part of the manikin.
struct PostureSource {
  std::string option;  // "origin", "destination" or "" for --posture
  std::string name = "standing";
  std::string file;
  void AddTo(CLI::App& command);
  struct Deleter {
    void operator()(MKManikinPart* part) const;
  };
  std::unique_ptr<MKManikinPart, Deleter> Build(MKManikin& manikin,
                                                std::vector<std::string>& warnings) const;
};

// The options every handling command shares: the manikin, frequency,
// population percentage, output format and file.
struct HandlingOptions {
  ManikinOptions manikin;
  double perMinute = 1.0;
  double percent = 75.0;
  std::string format = "text";
  std::string output;
  void AddTo(CLI::App& command);
  // Prints or writes the report.
  void Emit(const std::vector<HandlingRow>& rows) const;
};

// The push, pull and carry commands, which differ only in the exertion.
enum class Exertion { Push, Pull, Carry };
std::unique_ptr<Subcommand> MakeExertionCommand(Exertion exertion);

}  // namespace mkcli
