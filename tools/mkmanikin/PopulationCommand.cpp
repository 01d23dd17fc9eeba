// mkmanikin population: a population's completed table of means and standard deviations.
#include <CLI/CLI.hpp>

#include <iostream>

#include "CommandSupport.h"
#include "Failure.h"
#include "ManikinBuilder.h"
#include "ManikinOptions.h"
#include "Numbers.h"
#include "OutputFiles.h"
#include "OutputFormat.h"
#include "anthro/MKDBAnthro.h"
#include "anthro/MKUserDBAnthro.h"

namespace mkcli {
namespace {

// Whether the population's user gave the variable, rather than the library
// predicting it; every variable of a built-in population is given.
bool Given(const MKDBAnthro& population, unsigned int index) {
  const auto* user = dynamic_cast<const MKUserDBAnthro*>(&population);
  return !user || user->GetUserVariableAtIndex(index)->GetManagementType() == 1;
}

// The population file format (see UserPopulation.h), every dimension given.
std::string Csv(const MKDBAnthro& population) {
  std::string text = "# " + std::string(population.GetName().ConvertToChar().CastToCharPtr()) +
                     ", completed by libMKManikin\nacronym,sex,mean,sd\n";
  for (unsigned int i = 0; i < population.GetNumberOfVariables(); ++i) {
    const MKDBAnthroVariable* v = population.GetVariableAtIndex(i);
    for (int sex = 0; sex <= 1; ++sex)
      text += BareAcronym(v->GetAcronym().CastToCharPtr()) + "," + SexName(sex) + "," +
              ShortestText(v->GetMean(sex)) + "," + ShortestText(v->GetStdDev(sex)) + "\n";
  }
  return text;
}

std::string Text(const MKDBAnthro& population) {
  const unsigned int count = population.GetNumberOfVariables();
  unsigned int given = 0;
  for (unsigned int i = 0; i < count; ++i) given += Given(population, i) ? 1 : 0;
  std::string text = "\"" + std::string(population.GetName().ConvertToChar().CastToCharPtr()) +
                     "\": " + std::to_string(count) + " dimensions, " + std::to_string(given) +
                     " given, " + std::to_string(count - given) + " predicted\n";
  text += Padded("ACRONYM", 10, false) + Padded("SOURCE", 10, false) +
          Padded("FEMALE MEAN", 12, true) + Padded("SD", 8, true) + Padded("MALE MEAN", 12, true) +
          Padded("SD", 8, true) + "  UNIT  DIMENSION\n";
  for (unsigned int i = 0; i < count; ++i) {
    const MKDBAnthroVariable* v = population.GetVariableAtIndex(i);
    text += Padded(BareAcronym(v->GetAcronym().CastToCharPtr()), 10, false) +
            Padded(Given(population, i) ? "given" : "predicted", 10, false) +
            Padded(FixedText(v->GetMean(0), 2), 12, true) +
            Padded(FixedText(v->GetStdDev(0), 2), 8, true) +
            Padded(FixedText(v->GetMean(1), 2), 12, true) +
            Padded(FixedText(v->GetStdDev(1), 2), 8, true) + "  " +
            Padded(v->IsAMass() ? "kg" : "cm", 4, false) + "  " +
            v->GetName().ConvertToChar().CastToCharPtr() + "\n";
  }
  return text;
}

class PopulationCommand : public Subcommand {
 public:
  CLI::App* Add(CLI::App& app) override {
    CLI::App* command = app.add_subcommand(
        "population", "Print a population's means and standard deviations, completed");
    command
        ->add_option("--population", population,
                     "A population's name or a CSV file (default: the built-in \"US NATICK\")")
        ->type_name("NAME|FILE");
    command->add_option("--format", format, "text (default) or csv, a population file")
        ->check(CLI::IsMember({"text", "csv"}));
    command->add_option("-o,--output", output, "Write to FILE instead of standard output")
        ->type_name("FILE");
    command->footer(
        "Every dimension of the population, per sex: mean and standard deviation in cm\n"
        "(kg for WEIGHT), given by the population or predicted by the library from the\n"
        "given ones (the built-in correlations, and the built-in coefficient of\n"
        "variation for the standard deviation). The csv format is a population file,\n"
        "which --population reads back.\n\n"
        "A population file (CSV) starts with the line 'acronym,sex,mean,sd'; then one\n"
        "row per dimension and sex, e.g. 'STATURE,female,162.85,6.42', and optionally\n"
        "correlations between two of its dimensions, e.g. 'STATURE/WEIGHT,male,0.53'.\n"
        "Lines starting with '#' are comments.\n\n"
        "Examples:\n"
        "  mkmanikin population --population \"US ARMY 2012\"\n"
        "  mkmanikin population --population my-survey.csv --format csv -o completed.csv\n");
    return command;
  }

  void Run() override {
    const MKDBAnthro& chosen = FindPopulation(population);
    const std::string text = format == "csv" ? Csv(chosen) : Text(chosen);
    if (output.empty()) {
      std::cout << text << std::flush;
      if (!std::cout) throw Failure(kExitFailure, "standard output: cannot write");
      return;
    }
    OutputFiles files;
    files.Stage(output, "--output", text);
    files.Commit();
  }

 private:
  std::string population;
  std::string format = "text";
  std::string output;
};

}  // namespace

std::unique_ptr<Subcommand> MakePopulationCommand() {
  return std::make_unique<PopulationCommand>();
}

}  // namespace mkcli
