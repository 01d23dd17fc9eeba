#pragma once

// Helpers shared by the IK tests: chains of segments built by hand, random
// frames, and the gradient of a constraint checked against a central finite
// difference of its potential.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "ik/detail/MKIKCurvature.h"
#include "ik/detail/MKIKManagerAccess.h"
#include "manikin/MKManikin.h"
#include "math/MK4x4Matrix.h"
#include "math/MKFrame.h"
#include "parts/MKStreamTestSupport.h"

namespace mkiktest {

// Opens a DOF's limits to [-min, max] and sets its value.
inline void Open(MKDOF* dof, double min, double max, double value) {
  dof->UnlockLimits();
  dof->SetMinLim(min);
  dof->SetMaxLim(max);
  dof->SetMathematicalValue(value);
}

// A random proper rotation with a translation within +-reach on each axis.
inline MK4x4Matrix RandomFrame(std::mt19937& rng, double reach) {
  std::uniform_real_distribution<double> angle(-M_PI, M_PI), offset(-reach, reach);
  MK4x4Matrix m;
  m.Unit();
  m.RotXYZ(angle(rng), angle(rng), angle(rng));
  m(3, 0) = offset(rng);
  m(3, 1) = offset(rng);
  m(3, 2) = offset(rng);
  return m;
}

inline MKFrame ToFrame(const MK4x4Matrix& m) {
  MKFrame frame;
  m.GetMKFrame(frame);
  return frame;
}

// A chain of segments without a body, from a root down, with `dofCount`
// DOFs spread over its segments, random axes, flags, limits and values.
class Chain {
 public:
  Chain(std::mt19937& rng, int dofCount) {
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    std::uniform_int_distribution<int> perSegment(1, 3), flagPick(0, 2);
    const int flagOf[3] = {0, MKDOF::sInverted, MKDOF::sLeftHanded};
    segments.emplace_back(new MKSegment(nullptr, SBoPh, 0, nullptr));
    int left = dofCount;
    while (left > 0) {
      MKSegment* parent = segments.back().get();
      auto* segment = new MKSegment(nullptr, RSHaIn2, 0, parent);
      parent->AddChild(segment);
      segments.emplace_back(segment);
      const int count = std::min(left, perSegment(rng));
      // `count` distinct axes in increasing order.
      std::vector<int> axes = {0, 1, 2};
      std::shuffle(axes.begin(), axes.end(), rng);
      axes.resize(static_cast<std::size_t>(count));
      std::sort(axes.begin(), axes.end());
      for (int axis : axes) {
        segment->AddDOF(axis, flagOf[flagPick(rng)], 0.0, nullptr);
        const double min = 0.2 + 1.5 * unit(rng), max = 0.2 + 1.5 * unit(rng);
        // Away from both limits, so that a finite difference never clamps.
        const double value = -min + 0.1 + (min + max - 0.2) * unit(rng);
        Open(segment->GetDOF(axis), min, max, value);
      }
      left -= count;
    }
    for (auto& s : segments) s->SetLength(2.0 + 20.0 * unit(rng));
    std::uniform_real_distribution<double> degrees(-180.0, 180.0);
    for (auto& s : segments) s->SetRotation(degrees(rng), degrees(rng), degrees(rng));
  }

  MKSegment* Root() const { return segments.front().get(); }
  MKSegment* Tip() const { return segments.back().get(); }

 private:
  std::vector<std::unique_ptr<MKSegment>> segments;
};

struct ManikinDeleter {
  void operator()(MKManikin* m) const {
    if (m) m->Destroy();
  }
};
using ManikinPtr = std::unique_ptr<MKManikin, ManikinDeleter>;

// A created standing man.
inline ManikinPtr NewMan() {
  MKManikin* created = nullptr;
  MKManikin::Create(created, 1, 50.0, nullptr, 1, 1);
  return ManikinPtr(created);
}

// Every DOF of the body, segment by segment.
inline std::vector<MKDOF*> DOFs(const MKBody& body) {
  std::vector<MKDOF*> dofs;
  for (unsigned int i = 0; i < body.GetNumberOfSegments(); ++i)
    for (int axis = 0; axis < 3; ++axis)
      if (MKDOF* dof = body.GetSegmentAtIndex(i)->GetDOF(axis)) dofs.push_back(dof);
  return dofs;
}

// Whether every DOF of the body lies within its limits.
inline bool WithinLimits(const MKBody& body) {
  for (const MKDOF* dof : DOFs(body)) {
    const double v = dof->GetMathematicalValue();
    if (v < -dof->GetMinLim(false) - 1e-9 || v > dof->GetMaxLim(false) + 1e-9) return false;
  }
  return true;
}

// A body with every segment 10 long and unit posture.
struct Body {
  Body() : body(nullptr, 1, 0) {
    for (unsigned int i = 0; i < body.GetNumberOfSegments(); ++i)
      body.GetSegmentAtIndex(i)->SetLength(10.0);
  }
  MKSegment* operator[](MKShortName name) { return body.GetSegment(name); }
  MKBody body;
};

// The manager's driven DOFs in variable order.
inline std::vector<MKDOF*> DrivenDOFs(const MKIKManager& manager) {
  std::vector<MKDOF*> dofs;
  for (int i = 0; i < MKIKManagerAccess::GetNumberOfDrivenElements(manager); ++i)
    for (unsigned int axis = 0; axis < 3; ++axis)
      if (MKDOF* dof =
              MKIKManager::GetIKChainElemDOF(MKIKManagerAccess::GetDrivenElement(manager, i), axis))
        dofs.push_back(dof);
  return dofs;
}

// The manager's settings and constraints with their activity and weight,
// to check that an operation leaves them as it found them.
struct Settings {
  explicit Settings(const MKIKManager& m)
      : behavior(m.GetBehavior()), tolerance(m.GetIKTolerance()) {
    for (unsigned int i = 0; i < m.GetNumberOfConstraints(); ++i) {
      list.push_back(m.GetIKConstraint(i));
      active.push_back(m.GetIKConstraint(i)->IsActive());
      weights.push_back(m.GetIKConstraint(i)->GetWeight());
    }
  }
  bool operator==(const Settings& o) const {
    return behavior == o.behavior && tolerance == o.tolerance && list == o.list &&
           active == o.active && weights == o.weights;
  }
  int behavior;
  double tolerance;
  std::vector<const MKIKConstraint*> list;
  std::vector<bool> active;
  std::vector<double> weights;
};

// Largest difference between the analytic gradient and a central finite
// difference of weight x potential (per degree), relative to the largest
// component of either; an absolute floor covers gradients that vanish.
inline double GradientError(MKIKConstraint& c, const std::vector<MKDOF*>& dofs) {
  const double h = 1e-6;
  std::vector<double> g(dofs.size(), 0.0);
  c.ComputeGradient(g.data());
  double worst = 0.0, scale = 1e-7;
  std::vector<double> fd(dofs.size());
  for (std::size_t k = 0; k < dofs.size(); ++k) {
    const double v = dofs[k]->GetMathematicalValue();
    dofs[k]->SetMathematicalValue(v + h);
    const double up = c.ComputePotential() * c.GetWeight();
    dofs[k]->SetMathematicalValue(v - h);
    const double down = c.ComputePotential() * c.GetWeight();
    dofs[k]->SetMathematicalValue(v);
    fd[k] = (up - down) / (2.0 * h) * (M_PI / 180.0);
    scale = std::max(scale, std::max(std::fabs(fd[k]), std::fabs(g[k])));
  }
  for (std::size_t k = 0; k < dofs.size(); ++k) worst = std::max(worst, std::fabs(g[k] - fd[k]));
  c.ComputePotential();
  return worst / scale;
}

// Largest difference between the constraint's Gauss-Newton matrix and a
// central finite difference of its gradient, relative to the largest entry
// of either.
inline double CurvatureError(MKIKConstraint& c, const std::vector<MKDOF*>& dofs) {
  const std::size_t n = dofs.size();
  MKIKCurvature curvature(static_cast<int>(n));
  std::vector<double> g(n, 0.0);
  c.ComputeGradient(g.data(), &curvature);
  const double h = 1e-6;
  double worst = 0.0, scale = 1e-7;
  for (std::size_t k = 0; k < n; ++k) {
    std::vector<double> up(n, 0.0), down(n, 0.0);
    const double v = dofs[k]->GetMathematicalValue();
    dofs[k]->SetMathematicalValue(v + h);
    c.ComputeGradient(up.data());
    dofs[k]->SetMathematicalValue(v - h);
    c.ComputeGradient(down.data());
    dofs[k]->SetMathematicalValue(v);
    for (std::size_t i = 0; i < n; ++i) {
      const double fd = (up[i] - down[i]) / (2.0 * h), gn = curvature.matrix[i * n + k];
      scale = std::max(scale, std::max(std::fabs(fd), std::fabs(gn)));
      worst = std::max(worst, std::fabs(fd - gn));
    }
  }
  return worst / scale;
}

// Reads one record (tag, version and length first) into `part`.
inline MKStatus ReadInto(MKManikinPart& part, const std::string& bytes) {
  KelStreamDefinition stream = mktest::StreamOf(bytes);
  KelString tag;
  double version = 0;
  unsigned int length = 0;
  MKManikinPart::ReadTagBegin(stream, tag);
  MKManikinPart::ReadVersionAndLength(stream, version, length);
  return part.Read(stream);
}

// Every target type of the constraint table, and one outside it.
inline const std::vector<int>& AllTypes() {
  static const std::vector<int> types = {8,   24,  72,  80,   88,   128,  137,
                                         139, 152, 648, 1152, 1160, 1672, 5};
  return types;
}

}  // namespace mkiktest
