#include "Commands.h"

#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "CommandSupport.h"
#include "Failure.h"
#include "host/MKVersion.h"

namespace mkcli {
namespace {

// "a, b, c or d": the names of the commands, as registered.
std::string CommandList(const std::vector<CLI::App*>& parsers, const char* last) {
  std::string list;
  for (std::size_t i = 0; i < parsers.size(); ++i) {
    if (i > 0) list += i + 1 == parsers.size() ? std::string(" ") + last + " " : ", ";
    list += parsers[i]->get_name();
  }
  return list;
}

}  // namespace

int Run(int argc, char** argv) {
  CLI::App app(
      "mkmanikin: digital humans (manikins) of a sex, population and percentile,\n"
      "made by libMKManikin: their body dimensions, their skin and pictures.",
      kProgram);
  app.set_version_flag("--version",
                       std::string(kProgram) + " (libMKManikin " + MKMANIKIN_VERSION_STRING + ")");
  app.require_subcommand(1);
  app.footer(
      "Start with 'mkmanikin demo'. 'mkmanikin COMMAND --help' tells more of a command.\n\n"
      "Exit status: 0 on success, 1 when the manikin cannot be made or a file cannot\n"
      "be written, 2 for a wrong command line. Errors and warnings go to standard error.\n");
  std::vector<std::unique_ptr<Subcommand>> commands;
  commands.push_back(MakeCreateCommand());
  commands.push_back(MakeExportCommand());
  commands.push_back(MakeDemoCommand());
  commands.push_back(MakeRulaCommand());
  commands.push_back(MakeReachCommand());
  commands.push_back(MakeEnvelopeCommand());
  commands.push_back(MakePopulationCommand());
  commands.push_back(MakeLiftCommand());
  commands.push_back(MakePushCommand());
  commands.push_back(MakePullCommand());
  commands.push_back(MakeCarryCommand());
  commands.push_back(MakeSnookCheckCommand());
  commands.push_back(MakeStudyCommand());
  std::vector<CLI::App*> parsers;
  for (const auto& command : commands) parsers.push_back(command->Add(app));

  try {
    app.parse(argc, argv);
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e);
  } catch (const CLI::ParseError& e) {
    if (argc == 1) {
      std::cerr << kProgram << ": give a command: " << CommandList(parsers, "or") << "\nRun '"
                << kProgram << " --help' for more.\n";
    } else if (argv[1][0] != '-' && app.get_subcommands().empty()) {
      std::cerr << kProgram << ": unknown command '" << argv[1] << "': the commands are "
                << CommandList(parsers, "and") << "\nRun '" << kProgram << " --help' for more.\n";
    } else {
      std::string chosen = kProgram;
      for (const CLI::App* command : app.get_subcommands()) chosen += " " + command->get_name();
      std::cerr << kProgram << ": " << e.what() << "\nRun '" << chosen
                << " --help' for the options.\n";
    }
    return kExitUsage;
  }

  // Exactly one subcommand was parsed; it is the one to run.
  const CLI::App* parsed = app.get_subcommands().front();
  const std::string chosen = parsed->get_name();
  try {
    for (std::size_t i = 0; i < commands.size(); ++i)
      if (parsers[i] == parsed) commands[i]->Run();
  } catch (const Failure& failure) {
    std::cerr << kProgram << ": " << failure.what() << "\n";
    if (failure.Code() == kExitUsage)
      std::cerr << "Run '" << kProgram << " " << chosen << " --help' for the options.\n";
    return failure.Code();
  } catch (const std::exception& e) {
    std::cerr << kProgram << ": " << e.what() << "\n";
    return kExitFailure;
  }
  return kExitSuccess;
}

}  // namespace mkcli
