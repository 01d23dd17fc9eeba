// A bad posture file changes nothing; a value beyond its limit is brought to
// it, with a warning.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "Failure.h"
#include "PostureJson.h"
#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "manikin/MKManikinTestSupport.h"

namespace {

std::vector<double> Values(const MKManikin& manikin) {
  std::vector<double> values;
  const MKBody* body = manikin.GetBody();
  for (unsigned int i = 0; i < body->GetNumberOfSegments(); ++i)
    for (int axis = 0; axis < 3; ++axis)
      if (const MKDOF* dof = body->GetSegmentAtIndex(i)->GetDOF(axis))
        values.push_back(dof->GetMathematicalValue());
  return values;
}

TEST(PostureJson, BadPostureIsRefusedBeforeAnythingMoves) {
  mktest::Manikin manikin = mktest::Make(0, 50);
  const std::vector<double> before = Values(*manikin);
  const char* bad[] = {
      R"({"RSArAr": [10, 0, 0], "NoSuchSegment": [1, 2, 3]})",
      R"({"RSArAr": [10, 0]})",
      R"({"RSArAr": [10, "x", 0]})",
      R"([1, 2, 3])",
  };
  for (const char* text : bad) {
    std::vector<std::string> warnings;
    try {
      mkcli::ApplyPostureJson(*manikin, nlohmann::json::parse(text), "p.json", warnings);
      ADD_FAILURE() << "accepted " << text;
    } catch (const mkcli::Failure& failure) {
      EXPECT_EQ(failure.Code(), mkcli::kExitUsage);
      EXPECT_NE(std::string(failure.what()).find("p.json"), std::string::npos);
    }
    EXPECT_EQ(Values(*manikin), before) << text;
  }
  // Beyond the limits: brought to the limit, and said.
  std::vector<std::string> warnings;
  mkcli::ApplyPostureJson(*manikin, nlohmann::json::parse(R"({"RSArAr": [1000, null, null]})"),
                          "p.json", warnings);
  ASSERT_EQ(warnings.size(), 1u);
  const MKDOF* flexion = manikin->GetBody()->GetSegment(RSArAr)->GetDOF(0);
  EXPECT_DOUBLE_EQ(flexion->GetMathematicalValue(), flexion->GetMaxLim(true));
}

}  // namespace
