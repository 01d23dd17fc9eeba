#include "StudyPlot.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "Numbers.h"
#include "Text.h"

namespace mkcli {
namespace {

using mkstudy::Check;
using mkstudy::CheckType;

constexpr int kPanelHeight = 300;
constexpr int kMargin = 70;
constexpr Rgb kWhite{255, 255, 255}, kInk{40, 40, 40}, kGrid{200, 200, 200};
constexpr Rgb kPass{30, 150, 60}, kFail{210, 40, 40};

// The pass limits of a check, on its measured value's axis.
std::vector<double> Limits(const Check& check) {
  switch (check.type) {
    case CheckType::Reach:
      return {check.within};
    case CheckType::Sight:
      return check.byEyeHeight ? std::vector<double>{check.eyeLow, check.eyeHigh}
                               : std::vector<double>{0.0};
    case CheckType::Clearance:
      return {check.at};
    case CheckType::Posture:
      return {static_cast<double>(check.maxScore)};
  }
  return {};
}

const char* Measure(const Check& check) {
  switch (check.type) {
    case CheckType::Reach:
      return "distance to target (cm)";
    case CheckType::Sight:
      return check.byEyeHeight ? "eye height (cm)" : "sight line over the edge (cm)";
    case CheckType::Clearance:
      return "body point (cm)";
    case CheckType::Posture:
      return "RULA final score";
  }
  return "";
}

// A range with a little room, never empty.
void Widen(double& low, double& high) {
  if (!(high > low)) {
    low -= 1.0;
    high += 1.0;
  }
  const double room = 0.05 * (high - low);
  low -= room;
  high += room;
}

void Box(Image& image, int x0, int y0, int x1, int y1, Rgb colour) {
  for (int y = std::max(0, y0); y <= std::min(image.Height() - 1, y1); ++y)
    for (int x = std::max(0, x0); x <= std::min(image.Width() - 1, x1); ++x)
      image.Set(x, y, colour);
}

void Panel(Image& image, int top, const mkstudy::StudyTask& task, std::size_t c,
           const mkstudy::StudyResult& result) {
  const Check& check = task.checks[c];
  const int left = kMargin, right = image.Width() - 40;
  const int upper = top + 30, lower = top + kPanelHeight - 40;
  double xLow = HUGE_VAL, xHigh = -HUGE_VAL, yLow = HUGE_VAL, yHigh = -HUGE_VAL;
  const std::vector<double> limits = Limits(check);
  for (double l : limits) yLow = std::fmin(yLow, l), yHigh = std::fmax(yHigh, l);
  for (const mkstudy::SubjectOutcome& s : result.subjects) {
    if (s.status != 0 || std::isnan(s.measured[c])) continue;
    xLow = std::fmin(xLow, s.stature), xHigh = std::fmax(xHigh, s.stature);
    yLow = std::fmin(yLow, s.measured[c]), yHigh = std::fmax(yHigh, s.measured[c]);
  }
  if (xLow > xHigh) xLow = 140.0, xHigh = 200.0;
  Widen(xLow, xHigh);
  Widen(yLow, yHigh);
  const auto px = [&](double x) {
    return left + static_cast<int>(std::lround((x - xLow) / (xHigh - xLow) * (right - left)));
  };
  const auto py = [&](double y) {
    return lower - static_cast<int>(std::lround((y - yLow) / (yHigh - yLow) * (lower - upper)));
  };
  DrawText(image, left, top + 8, check.name + ": " + Measure(check) + " against stature (cm)", 2,
           kInk);
  Box(image, left, upper, right, upper, kInk);
  Box(image, left, lower, right, lower, kInk);
  Box(image, left, upper, left, lower, kInk);
  Box(image, right, upper, right, lower, kInk);
  for (int k = 0; k <= 4; ++k) {
    const double x = xLow + (xHigh - xLow) * k / 4.0, y = yLow + (yHigh - yLow) * k / 4.0;
    DrawText(image, px(x) - 12, lower + 6, FixedText(x, 0), 2, kInk);
    const std::string label = FixedText(y, std::fabs(yHigh - yLow) < 10 ? 1 : 0);
    DrawText(image, left - 6 - TextWidth(label, 2), py(y) - 7, label, 2, kInk);
  }
  for (double l : limits) Box(image, left + 1, py(l) - 1, right - 1, py(l) + 1, kGrid);
  for (const bool pass : {false, true})
    for (const mkstudy::SubjectOutcome& s : result.subjects) {
      if (s.status != 0 || std::isnan(s.measured[c]) || s.passed[c] != pass) continue;
      const int x = px(s.stature), y = py(s.measured[c]);
      Box(image, x - 1, y - 1, x + 1, y + 1, pass ? kPass : kFail);
    }
}

}  // namespace

Image DrawStudyPlot(const mkstudy::StudyTask& task, const mkstudy::StudyResult& result, int width) {
  const int panels = static_cast<int>(task.checks.size());
  Image image(width, std::max(1, panels) * kPanelHeight, kWhite);
  for (std::size_t c = 0; c < task.checks.size(); ++c)
    Panel(image, static_cast<int>(c) * kPanelHeight, task, c, result);
  return image;
}

}  // namespace mkcli
