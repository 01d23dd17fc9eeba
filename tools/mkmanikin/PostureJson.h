#pragma once

#include <nlohmann/json_fwd.hpp>

#include <cstddef>
#include <string>
#include <vector>

class MKManikin;

namespace mkcli {

// A posture as JSON: an object naming segments by their short names, each
// with the values of its DOFs 0, 1 and 2 in degrees (the signed,
// mathematical value; null where the segment has no such DOF):
//   {"SBoL5": [2.0, 0.0, -1.5], "RSArAr": [45.0, 10.0, null], ...}
// Commands that write a posture put this object under the key "dofs" of
// their output; commands that read one take a file holding such an output.
constexpr const char* kPostureKey = "dofs";

// The largest posture file read (bytes); a posture of every DOF takes a few kilobytes.
constexpr std::size_t kMaxPostureFileSize = 16u << 20;

// The posture object (under "dofs") of a file holding a command's output. A
// file that cannot be read, is larger than kMaxPostureFileSize, is not JSON
// or has no "dofs" is a usage Failure naming `option` and the file.
nlohmann::json ReadPostureFile(const std::string& path, const std::string& option);

// Every DOF of the manikin's body.
nlohmann::json PostureToJson(const MKManikin& manikin);

// Sets the DOFs that `dofs` names, in the body's order (masters before the
// DOFs they couple). An unknown segment, a DOF the segment lacks or a value
// that is not a number is a usage Failure naming `where` and the field; a
// value the DOF cannot take (outside its limits, locked) is brought to what
// it accepts and reported in `warnings`.
void ApplyPostureJson(MKManikin& manikin, const nlohmann::json& dofs, const std::string& where,
                      std::vector<std::string>& warnings);

}  // namespace mkcli
