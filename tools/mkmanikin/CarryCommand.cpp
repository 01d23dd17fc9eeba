// mkmanikin carry: the limits of a carry by the Liberty Mutual 2021 equations and the
// Snook and Ciriello 1991 tables (the command itself is in HandlingReport.cpp).
#include "HandlingReport.h"

namespace mkcli {

std::unique_ptr<Subcommand> MakeCarryCommand() {
  return MakeExertionCommand(Exertion::Carry);
}

}  // namespace mkcli
