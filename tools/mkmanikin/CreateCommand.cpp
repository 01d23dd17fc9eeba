// mkmanikin create: a manikin's body dimensions as a table.
#include <CLI/CLI.hpp>

#include "AnthropometryTable.h"
#include "CommandSupport.h"
#include "ManikinBuilder.h"

namespace mkcli {
namespace {

class CreateCommand : public Subcommand {
 public:
  CLI::App* Add(CLI::App& app) override {
    CLI::App* command =
        app.add_subcommand("create", "Create a manikin and print its body dimensions");
    manikin.AddTo(*command);
    AddFormatOption(*command, format);
    command->add_option("-o,--output", output, "Write to FILE instead of standard output")
        ->type_name("FILE");
    command->footer(
        "Prints every dimension of the manikin: acronym, name, value, percentile in the\n"
        "population of its sex, whether it is fixed or predicted, and for a predicted one\n"
        "the standard deviation of its prediction given the fixed ones.\n\n" +
        ManikinOptionsHelp() +
        "\nExamples:\n"
        "  mkmanikin create --sex female --percentile 5\n"
        "  mkmanikin create --sex male --fix STATURE=180 --fix-percentile WEIGHT=90 "
        "--format json\n");
    return command;
  }

  void Run() override {
    const ManikinSpec spec = manikin.Spec();
    std::vector<std::string> warnings;
    const ManikinPtr built = BuildManikin(spec, warnings);
    Warn(warnings);
    TableFormat tableFormat = TableFormat::Text;
    ParseTableFormat(format, tableFormat);
    const std::string text = Format(CollectAnthropometry(*built, spec.percentile), tableFormat);
    WriteTable(text, output);
  }

 private:
  ManikinOptions manikin;
  std::string format = "text";
  std::string output;
};

}  // namespace

std::unique_ptr<Subcommand> MakeCreateCommand() {
  return std::make_unique<CreateCommand>();
}

}  // namespace mkcli
