#pragma once

#include <array>
#include <optional>
#include <string>

class MKManikin;

namespace CLI {
class Validator;
}

namespace mkcli {

using Triple = std::array<double, 3>;

// A hand's target: a position (cm) and, optionally, X, Y, Z rotations (degrees).
struct HandTask {
  std::optional<Triple> position;
  std::optional<Triple> rotation;
};

// "x,y,z" as three numbers, or nothing.
std::optional<Triple> ParseTriple(const std::string& text);
// Refuses an option value that is not "x,y,z", naming `what` it should be.
CLI::Validator TripleCheck(const char* what);

// The hands' targets of a task file given to `option`: {"right": {"position":
// [x, y, z], "rotation": [rx, ry, rz]}, "left": {...}}; a usage Failure
// naming the option and the file when it cannot be read or is malformed.
void ReadTaskFile(const std::string& path, const std::string& option, HandTask& right,
                  HandTask& left);

// Puts each hand that has a target on it, one constraint per hand from its
// clavicle, solved together; the solver's status (0, or 1300 when out of
// reach). A Failure when the manikin has no arm to reach with.
int SolveHandReach(MKManikin& manikin, const HandTask& right, const HandTask& left);

}  // namespace mkcli
