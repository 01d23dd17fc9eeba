// mkmanikin pull: the limits of a pull by the Liberty Mutual 2021 equations and the
// Snook and Ciriello 1991 tables (the command itself is in HandlingReport.cpp).
#include "HandlingReport.h"

namespace mkcli {

std::unique_ptr<Subcommand> MakePullCommand() {
  return MakeExertionCommand(Exertion::Pull);
}

}  // namespace mkcli
