#pragma once

#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace mkstudy {

using Point = std::array<double, 3>;  // x towards the worker's left, y up, z forward (cm)

// Who takes part: every recorded subject of a survey, or people sampled from
// a population database (stature and weight drawn from its bivariate normal
// distribution with a seed, the other dimensions predicted).
struct Population {
  int survey = 0;        // 1988 or 2012; 0 when sampled
  std::string database;  // the sampled population's name ("" for the built-in one)
  int count = 0;         // sampled people per sex
  unsigned long long seed = 1;
  bool women = true;
  bool men = true;
};

// Where and how the worker is: standing or sitting (hips and knees bent), with
// the lowest point of the feet on the floor (y = 0) and the hip joints' centre
// above the floor point (x, z) = `position`.
struct Placement {
  bool sitting = false;
  double x = 0.0;
  double z = 0.0;
};

enum class CheckType { Reach, Sight, Clearance, Posture };

// One pass rule, measured on the working posture: the placement's posture
// with every reach solved.
struct Check {
  std::string name;
  CheckType type = CheckType::Reach;
  bool left = false;  // reach: the hand; posture: the side RULA scores
  // Reach: the target of the hand's grip centre, optionally its orientation
  // (X, Y, Z rotations in degrees); passes when the solver succeeds with the
  // hand within `within` cm of the target. Measured: that distance.
  Point point{};
  std::optional<Point> rotation;
  double within = 1.0;
  // Sight over an edge: the line from the eyes' midpoint to `point` passes
  // above the horizontal edge (parallel to x) at `edgeHeight`, `edgeDepth`.
  // Measured: the line's height over the edge (none when the edge is not
  // between eyes and point: nothing is in the way). Sight by eye height:
  // `eyeLow` <= eye height <= `eyeHigh`. Measured: the eye height.
  bool byEyeHeight = false;
  double edgeHeight = 0.0, edgeDepth = 0.0;
  double eyeLow = 0.0, eyeHigh = 0.0;
  // Clearance: the body point ("head-top", "knee", "elbow"; knee and elbow
  // of the side `left` says) stays below (or above) the plane across `axis`
  // (0 x, 1 y, 2 z) at `at`. Measured: the point's coordinate on that axis.
  std::string bodyPoint;
  int axis = 1;
  bool below = true;
  double at = 0.0;
  // Posture: RULA final score of the working posture at most `maxScore`.
  int maxScore = 0;
};

struct StudyTask {
  std::string title;
  Population population;
  Placement placement;
  std::vector<Check> checks;
};

// A task file that cannot be used: the message names the line and the field.
struct TaskError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

// Reads a task from its JSON text (documented in docs/study.md); `source`
// names the file in messages ("task.json:12: checks[0].point: ..."). Throws a
// TaskError for invalid JSON, an unknown or missing field, or a value of the
// wrong kind or out of range.
StudyTask ParseStudyTask(const std::string& json, const std::string& source);

}  // namespace mkstudy
