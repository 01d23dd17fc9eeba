// The colours of the segments that a RULA analysis scores.
#include <algorithm>

#include "analysis/MKAnalysis.h"
#include "analysis/MKAnalysisResults.h"
#include "analysis/MKRULASpecs.h"

namespace {

constexpr int kBandColors[] = {MKRULASpecs::sGreen, MKRULASpecs::sYellow, MKRULASpecs::sOrange,
                               MKRULASpecs::sRed};

// 1 is green and `top` red; the scores between spread over yellow, orange, red.
int PartBand(int score, int top) {
  if (score <= 1 || top <= 1) return 0;
  return std::min(3, (3 * (score - 1) + top - 2) / (top - 1));
}

bool IsVertebra(MKShortName segment) {
  return segment >= SBoL5 && segment <= SBoT1;
}

bool IsLeg(MKShortName segment) {
  return segment == RSLeTh || segment == RSLeLe || segment == LSLeTh || segment == LSLeLe;
}

}  // namespace

bool MKRULASpecs::ColouringPart(MKShortName segment, Part& part) {
  switch (segment) {
    case RSArAr:
    case LSArAr:
      part = UpperArm;
      return true;
    case RSArFAr:
    case LSArFAr:
      part = LowerArm;
      return true;
    case RSHaCPr:
    case LSHaCPr:
      part = Wrist;
      return true;
    case SHeNe:
      part = Neck;
      return true;
    default:
      break;
  }
  if (IsVertebra(segment)) {
    part = Trunk;
    return true;
  }
  if (IsLeg(segment)) {
    part = Legs;
    return true;
  }
  return false;
}

int MKRULASpecs::PartScore(const MKAnalysisResults& results, Part part) {
  switch (part) {
    case UpperArm:
      return results.upperArmScore;
    case LowerArm:
      return results.lowerArmScore;
    case Wrist:
      return results.wristScore;
    case Neck:
      return results.neckScore;
    case Trunk:
      return results.trunkScore;
    default:
      return results.legScore;
  }
}

MKStatus MKRULASpecs::GetScore(const MKShortName& segment, const MKAnalysisResults& results,
                               int& score) const {
  Part part;
  score = ColouringPart(segment, part) ? PartScore(results, part) : -1;
  if (score < 1) {
    score = -1;
    return MKStatusNoRULAResult;
  }
  return MKStatusSuccess;
}

bool MKRULASpecs::IsInWristAndArm(const MKShortName& segment) const {
  return segment == OnSide(RSArAr) || segment == OnSide(RSArFAr) || segment == OnSide(RSHaCPr);
}

bool MKRULASpecs::IsInNeckTrunkAndLeg(const MKShortName& segment) const {
  return segment == SHeNe || IsVertebra(segment) || IsLeg(segment);
}

bool MKRULASpecs::IsInRULAColoring(const MKShortName& segment,
                                   const MKKERULAColoring& coloring) const {
  switch (coloring) {
    case MKKRULAColorAll:
      return IsInWristAndArm(segment) || IsInNeckTrunkAndLeg(segment);
    case MKKRULAColorWristAndArm:
      return IsInWristAndArm(segment);
    case MKKRULAColorNeckTrunkAndLeg:
      return IsInNeckTrunkAndLeg(segment);
  }
  return false;
}

void MKRULASpecs::SetColor(const MKAnalysisResults& results) {
  for (int n = 0; n < kSegments; ++n) {
    const auto segment = static_cast<MKShortName>(n);
    Part part;
    colors[n] = colorScores[n] = -1;
    if (!ColouringPart(segment, part) || !IsInRULAColoring(segment, MKKRULAColorAll)) continue;
    const int score = PartScore(results, part);
    if (score < 1) continue;
    colorScores[n] = score;
    colors[n] = kBandColors[PartBand(score, TopScore(part))];
  }
}

MKStatus MKRULASpecs::GetColor(const MKShortName& segment, const MKKERULAColoring& coloring,
                               int& color) const {
  color = -1;
  if (segment < 0 || segment >= kSegments || !IsInRULAColoring(segment, coloring) ||
      colors[segment] < 0)
    return MKStatusNoRULAResult;
  color = colors[segment];
  return MKStatusSuccess;
}

bool MKRULASpecs::HasMaxScore(const MKShortName& segment) const {
  Part part;
  return segment >= 0 && segment < kSegments && ColouringPart(segment, part) &&
         colorScores[segment] >= TopScore(part);
}

int MKRULASpecs::GetColorOfFinalScore(unsigned int score) {
  return kBandColors[MKAnalysis::GetRULAActionLevel(score) - 1];
}
