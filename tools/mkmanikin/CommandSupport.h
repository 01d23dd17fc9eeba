#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Renderer.h"

class MKManikin;
namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace mkcli {

constexpr const char* kProgram = "mkmanikin";

// One subcommand of the program: it declares its options, then runs once
// the command line is parsed. Failures are thrown as Failure.
class Subcommand {
 public:
  virtual ~Subcommand() = default;
  // Declares the subcommand and its options on `app`; answers its parser.
  virtual CLI::App* Add(CLI::App& app) = 0;
  virtual void Run() = 0;
};

std::unique_ptr<Subcommand> MakeCreateCommand();
std::unique_ptr<Subcommand> MakeExportCommand();
std::unique_ptr<Subcommand> MakeDemoCommand();
std::unique_ptr<Subcommand> MakeRulaCommand();
std::unique_ptr<Subcommand> MakeReachCommand();
std::unique_ptr<Subcommand> MakeEnvelopeCommand();
std::unique_ptr<Subcommand> MakePopulationCommand();
std::unique_ptr<Subcommand> MakeLiftCommand();
std::unique_ptr<Subcommand> MakePushCommand();
std::unique_ptr<Subcommand> MakePullCommand();
std::unique_ptr<Subcommand> MakeCarryCommand();
std::unique_ptr<Subcommand> MakeSnookCheckCommand();
std::unique_ptr<Subcommand> MakeStudyCommand();

// A picture size in pixels, given as "WIDTHxHEIGHT".
struct PictureSize {
  int width, height;
};
CLI::Option* AddSizeOption(CLI::App& command, std::string& size, const char* fallback);
// The size of a text the option's check accepted.
PictureSize ParseSize(const std::string& text);

// The command's table on standard output, or whole into the file `output`
// when one is given (--output).
void WriteTable(const std::string& text, const std::string& output);
// Prints the library's warnings on standard error.
void Warn(const std::vector<std::string>& warnings);
// "female, 5th percentile of \"US NATICK\"".
std::string Describe(const MKManikin& manikin, double percentile);
// The picture as PNG bytes; a Failure when the encoder fails.
std::string PngOf(const Image& image);
// The first line of an OBJ file's header, naming the program and the library.
std::string ObjHeader(const MKManikin& manikin, double percentile, const std::string& posture);

}  // namespace mkcli
