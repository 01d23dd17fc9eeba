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

// A posture given by name (--NAME-posture), file (--NAME-file) or as a
// reach of both hands from standing, to a point (--NAME-reach X,Y,Z) or to
// the targets of a task file (--NAME-task FILE), turned into a posture part
// of the manikin. A target out of reach is a Failure (exit 1) naming it.
struct PostureSource {
  std::string option;  // "origin", "destination" or "" for --posture
  std::string name = "standing";
  std::string file;
  std::string reach, task;
  void AddTo(CLI::App& command);
  // The footer lines that tell how the options give a posture.
  static std::string Help();
  struct Deleter {
    void operator()(MKManikinPart* part) const;
  };
  // The posture part; a reach starts from `built`, the manikin's posture as
  // built, while a name or file applies to the manikin as it is.
  std::unique_ptr<MKManikinPart, Deleter> Build(MKManikin& manikin, const MKManikinPart* built,
                                                std::vector<std::string>& warnings) const;
  // The manikin's posture.
  static std::unique_ptr<MKManikinPart, Deleter> Current(const MKManikin& manikin);
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
