#pragma once

#include <array>
#include <optional>

class MKManikin;

namespace mkcli {

using Triple = std::array<double, 3>;

// A hand's target: a position (cm) and, optionally, X, Y, Z rotations (degrees).
struct HandTask {
  std::optional<Triple> position;
  std::optional<Triple> rotation;
};

// Puts each hand that has a target on it, one constraint per hand from its
// clavicle, solved together; the solver's status (0, or 1300 when out of
// reach). A Failure when the manikin has no arm to reach with.
int SolveHandReach(MKManikin& manikin, const HandTask& right, const HandTask& left);

}  // namespace mkcli
