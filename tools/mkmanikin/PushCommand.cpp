// mkmanikin push: the limits of a push by the Liberty Mutual 2021 equations and the
// Snook and Ciriello 1991 tables (the command itself is in HandlingReport.cpp).
#include "HandlingReport.h"

namespace mkcli {

std::unique_ptr<Subcommand> MakePushCommand() {
  return MakeExertionCommand(Exertion::Push);
}

}  // namespace mkcli
