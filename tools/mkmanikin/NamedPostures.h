#pragma once

#include <string>

#include "body/MKPostureSpec.h"

class MKManikin;

namespace CLI {
class App;
class Option;
}  // namespace CLI

namespace mkcli {

// The predefined postures of the body, by the names the command line uses.
struct PostureName {
  const char* name;
  MKPostureSpec posture;
  const char* description;
};

// Null for a name that is not one of them.
const PostureName* FindPosture(const std::string& name);
// "standing|sitting|...".
std::string PostureList();
// One line per posture, its name and description, for a command's help.
std::string PostureHelp();
// Puts the manikin in the posture of that name; a Failure when the name is
// unknown or the library refuses it.
void ApplyNamedPosture(MKManikin& manikin, const std::string& name);
// --posture NAME, checked against the postures, standing by default.
CLI::Option* AddPostureOption(CLI::App& command, std::string& posture);

}  // namespace mkcli
