#include "analysis/detail/MKRunAngle.h"

#include <cmath>

#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "math/MK4x4Matrix.h"
#include "math/MKIEEE.h"

namespace {

// Run angles this small are reported as 0, as the spine view reports them.
constexpr double kReportedZero = 1e-06;

// A segment turns by minus a DOF's value, by the value itself when the DOF
// is inverted or left-handed.
double AppliedSense(const MKDOF& dof) {
  return dof.IsInverted() || dof.IsLeftHanded() ? 1.0 : -1.0;
}

// The point p * R for the rotation R of MK4x4Matrix::RotX (axis 0) or RotY
// (axis 1) by `angle`, which the segment applies before its rest matrix.
MK3x1Matrix Turned(const MK3x1Matrix& p, int axis, double angle) {
  const double c = std::cos(angle), s = std::sin(angle);
  if (axis == 0) return MK3x1Matrix(p(0), c * p(1) - s * p(2), s * p(1) + c * p(2));
  return MK3x1Matrix(c * p(0) + s * p(2), p(1), c * p(2) - s * p(0));
}

}  // namespace

double MKRunAngle(const MKBody& body, MKShortName first, MKShortName last, int axis,
                  double (*valueOf)(const MKDOF&)) {
  const MKSegment* from = body.GetSegment(first);
  const MKSegment* to = body.GetSegment(last);
  const MKDOF* own = from && axis >= 0 && axis < 3 ? from->GetDOF(axis) : nullptr;
  if (!own || !to) return MKIEEE::NaN();
  double sum = 0.0;
  // The end of `last` in the frame of the parent of `first`, at rest and posed.
  MK3x1Matrix rest(0.0, 0.0, to->GetLength()), posed = rest;
  for (const MKSegment* s = to; s; s = s->GetAncestor()) {
    const MK4x4Matrix& para = s->GetParaMatrix();
    // A Z DOF may be the pure slave of another segment's DOF; it turns this one.
    const MKDOF* dof = s->GetDOF(axis == 2 ? -2 : axis);
    if (dof && axis == 2) {
      sum += std::fabs(valueOf(*dof));
    } else if (dof && !dof->IsPureMaster()) {
      const double sense = AppliedSense(*dof);
      const double atRest = sense * dof->GetDefaultValue() * dof->GetDefaultRange();
      if (atRest != 0.0) rest = Turned(rest, axis, atRest);
      posed = Turned(posed, axis, sense * valueOf(*dof));
    }
    rest = para * rest;
    posed = para * posed;
    if (s != from) continue;
    if (axis == 2) return sum;
    // Both chords start at the origin of `first`, where its parent's end is.
    const MK3x1Matrix origin = para.GetTranslation();
    const MK3x1Matrix r = rest - origin, v = posed - origin;
    const MK3x1Matrix normal = r.VectProd(v);
    const double angle = std::atan2(normal.Norm(), r.VectDot(v));
    if (angle < kReportedZero) return 0.0;
    const MK3x1Matrix turnAxis = axis == 0 ? para.GetXAxis() : para.GetYAxis();
    const double side = normal.VectDot(turnAxis) < 0.0 ? -1.0 : 1.0;
    return angle * side * AppliedSense(*own);
  }
  return MKIEEE::NaN();
}
