#pragma once

// Helpers of the RULA tests: the published tables read from the project's
// data files (not from the library), postures set by degrees, and random
// postures within the joint limits.

#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/MKRULASpecs.h"
#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "math/MKUnitConversions.h"

namespace mkrulatest {

struct SpecsDeleter {
  void operator()(MKRULASpecs* s) const { s->Destroy(); }
};
using Specs = std::unique_ptr<MKRULASpecs, SpecsDeleter>;

inline double Rad(double degrees) {
  return MKUnitConversions::DegreesToRadians(degrees);
}
inline double Deg(double radians) {
  return MKUnitConversions::RadiansToDegrees(radians);
}

// One published table: its key columns (1-based scores) give its score.
using Table = std::map<std::vector<int>, int>;

// tools/rula/<file>, read as the key columns and the last column.
inline Table ReadTable(const std::string& file) {
  std::string path = __FILE__;
  path.erase(path.find_last_of('/') + 1);
  std::ifstream in(path + "../../tools/rula/" + file);
  EXPECT_TRUE(in) << file;
  Table table;
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    std::vector<int> fields;
    std::istringstream row(line);
    std::string field;
    while (std::getline(row, field, ',')) fields.push_back(std::stoi(field));
    if (fields.empty()) continue;
    const int score = fields.back();
    fields.pop_back();
    table[fields] = score;
  }
  return table;
}

struct Tables {
  Table a = ReadTable("tableA.csv");
  Table b = ReadTable("tableB.csv");
  Table c = ReadTable("tableC.csv");
};

inline MKDOF* DOF(MKBody& body, MKShortName segment, int axis) {
  MKSegment* s = body.GetSegment(segment);
  return s ? s->GetDOF(axis) : nullptr;
}

inline void SetDegrees(MKBody& body, MKShortName segment, int axis, double degrees) {
  MKDOF* dof = DOF(body, segment, axis);
  ASSERT_NE(dof, nullptr) << segment << " " << axis;
  dof->SetMathematicalValue(Rad(degrees));
}

// Every visible DOF of the body, in body order, uniformly within the limits
// it has when its turn comes (a coupled slave's limits follow its master),
// or within that share of them about 0.
inline void RandomPosture(MKBody& body, std::mt19937& rng, double share = 1.0) {
  for (unsigned int i = 0; i < body.GetNumberOfSegments(); ++i) {
    MKSegment* segment = body.GetSegmentAtIndex(i);
    for (int axis = 0; axis < 3; ++axis) {
      MKDOF* dof = segment->GetDOF(axis);
      if (!dof) continue;
      std::uniform_real_distribution<double> value(-share * dof->GetMinLim(false),
                                                   share * dof->GetMaxLim(false));
      dof->SetMathematicalValue(value(rng));
    }
  }
}

}  // namespace mkrulatest
