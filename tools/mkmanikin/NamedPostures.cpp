#include "NamedPostures.h"

#include <CLI/CLI.hpp>

#include <cstring>

#include "Failure.h"
#include "ManikinBuilder.h"
#include "body/MKBody.h"
#include "manikin/MKManikin.h"

namespace mkcli {
namespace {

const PostureName kPostures[] = {
    {"standing", MKPostureStanding, "upright, arms hanging"},
    {"sitting", MKPostureSitting, "hips and knees bent 90 degrees, elbows bent"},
    {"arms-forward", static_cast<MKPostureSpec>(3), "standing, both arms raised forward"},
    {"reach-across", static_cast<MKPostureSpec>(4),
     "standing, arms forward, the left one across the body"},
    {"arms-out", static_cast<MKPostureSpec>(5), "standing, arms raised sideways"},
    {"kneeling", static_cast<MKPostureSpec>(6), "knees bent 107 degrees, elbows bent"},
};

}  // namespace

const PostureName* FindPosture(const std::string& name) {
  for (const PostureName& p : kPostures)
    if (name == p.name) return &p;
  return nullptr;
}

std::string PostureList() {
  std::string list;
  for (const PostureName& p : kPostures) list += (list.empty() ? "" : "|") + std::string(p.name);
  return list;
}

std::string PostureHelp() {
  std::string help = "Postures:\n";
  for (const PostureName& p : kPostures)
    help += std::string("  ") + p.name + std::string(14 - std::strlen(p.name), ' ') +
            p.description + "\n";
  return help;
}

void ApplyNamedPosture(MKManikin& manikin, const std::string& name) {
  const PostureName* found = FindPosture(name);
  if (!found) throw UsageError("'" + name + "' is not a posture: give one of " + PostureList());
  const MKStatus posed = manikin.GetBody()->SetPosture(found->posture);
  if (posed != MKStatusSuccess)
    throw Failure(kExitFailure,
                  "--posture " + name + ": the library refused it: " + StatusText(posed.GetCode()));
}

CLI::Option* AddPostureOption(CLI::App& command, std::string& posture) {
  posture = "standing";
  return command.add_option("--posture", posture, "Posture of the manikin (see below)")
      ->type_name("POSTURE")
      ->default_str("standing")
      ->check(CLI::Validator(
          [](std::string& text) -> std::string {
            if (FindPosture(text)) return {};
            return "'" + text + "' is not a posture: give one of " + PostureList();
          },
          "", "POSTURE"));
}

}  // namespace mkcli
