#pragma once

namespace mkcli {

// The whole program: parses the command line, runs the subcommand and
// answers the exit code (see ExitCode). Results go to standard output,
// messages to standard error.
int Run(int argc, char** argv);

}  // namespace mkcli
