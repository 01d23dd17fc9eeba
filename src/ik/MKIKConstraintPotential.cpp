// The potential of a constraint (a squared error between the end-effector
// frame and the target, per target type) and its analytic gradient with
// respect to the DOF values of the chain.
#include <cmath>

#include "body/MKBodyElement.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "ik/detail/MKIKCurvature.h"
#include "vision/MKLineOfSight.h"

namespace {

struct Vec {
  double x, y, z;
};

Vec operator+(const Vec& a, const Vec& b) {
  return {a.x + b.x, a.y + b.y, a.z + b.z};
}
Vec operator-(const Vec& a, const Vec& b) {
  return {a.x - b.x, a.y - b.y, a.z - b.z};
}
Vec operator*(double f, const Vec& a) {
  return {f * a.x, f * a.y, f * a.z};
}
double Dot(const Vec& a, const Vec& b) {
  return a.x * b.x + a.y * b.y + a.z * b.z;
}
Vec Cross(const Vec& a, const Vec& b) {
  return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
Vec RowOf(const MK4x4Matrix& m, int r) {
  return {m(r, 0), m(r, 1), m(r, 2)};
}

constexpr double K = MKIKConstraint::sRotationWeightFactor;
constexpr double kRadiansPerDegree = M_PI / 180.0;
// A Pointing target nearer than this to the end-effector origin gives no
// usable direction: the constraint counts as met (the potential and its
// gradient stay 0 and bounded). The same threshold as vector normalisation.
constexpr double kNullDirection = 0.001;
// The first phalanx of each thumb turns about a tilted axis: its Y DOF also
// turns it about Z by 0.7 of its angle, offset by 13 degrees.
constexpr double kThumbShare = 0.7;
constexpr double kThumbOffset = 13.0 * kRadiansPerDegree;

// A 3 x 3 matrix by rows.
struct Mat {
  Vec row[3];
  Vec operator*(const Vec& v) const { return {Dot(row[0], v), Dot(row[1], v), Dot(row[2], v)}; }
};

const Mat kZero{};
const Mat kMinusIdentity{{{-1.0, 0.0, 0.0}, {0.0, -1.0, 0.0}, {0.0, 0.0, -1.0}}};

// f x (I - a a'), the projection off the unit vector a, scaled.
Mat Projector(double f, const Vec& a) {
  return {{f * Vec{1.0 - a.x * a.x, -a.x * a.y, -a.x * a.z},
           f * Vec{-a.y * a.x, 1.0 - a.y * a.y, -a.y * a.z},
           f * Vec{-a.z * a.x, -a.z * a.y, 1.0 - a.z * a.z}}};
}

// The matrix of v -> a x v.
Mat CrossBy(const Vec& a) {
  return {{{0.0, -a.z, a.y}, {a.z, 0.0, -a.x}, {-a.y, a.x, 0.0}}};
}

// One residual r of a potential weight x |r|^2 and how it changes when the
// end effector turns at rate omega with its origin moving at velocity v:
// dr = turn omega + shift v.
struct Residual {
  double root;  // the square root of the weight
  Mat turn, shift;
  // Whether turn and shift are nonzero (not kZero): every residual but
  // the Pointing one follows the turn or the shift alone, and the Jacobian
  // skips the other product.
  bool turns, shifts;
};

// The potentials of one evaluation, the derivative of their sum with
// respect to the end-effector origin and to each of its three axes, and
// the residuals they are made of.
struct Terms {
  double position = 0.0;
  double rotation = 0.0;
  Vec dOrigin{0.0, 0.0, 0.0};
  Vec dAxis[3] = {{0.0, 0.0, 0.0}, {0.0, 0.0, 0.0}, {0.0, 0.0, 0.0}};
  int residualCount = 0;
  Residual residuals[3];
  void Add(double weight, const Mat& turn, const Mat& shift) {
    residuals[residualCount++] = {std::sqrt(weight), turn, shift, &turn != &kZero,
                                  &shift != &kZero};
  }
};

class Evaluation {
 public:
  // The residuals are built only for the gradient: a potential alone needs
  // none of them.
  Evaluation(const MK4x4Matrix& target, const MK4x4Matrix& effector, bool withResiduals)
      : withResiduals(withResiduals),
        target(target),
        effector(effector),
        dt(RowOf(target, 3) - RowOf(effector, 3)),
        zT(RowOf(target, 2)),
        p(Dot(dt, zT)) {}

  // weight x |dt|^2 into the position potential.
  void Distance(double weight) {
    terms.position += weight * Dot(dt, dt);
    terms.dOrigin = terms.dOrigin + (-2.0 * weight) * dt;
    if (withResiduals) terms.Add(weight, kZero, kMinusIdentity);
  }

  // weight x K x |target axis - effector axis|^2 into the rotation potential.
  void Axis(int axis, double weight) {
    const Vec d = RowOf(target, axis) - RowOf(effector, axis);
    terms.rotation += weight * K * Dot(d, d);
    terms.dAxis[axis] = terms.dAxis[axis] + (-2.0 * weight * K) * d;
    // The axis e turns by omega x e, which the residual loses.
    if (withResiduals) terms.Add(weight * K, CrossBy(RowOf(effector, axis)), kZero);
  }

  // weight x |dt - s zT|^2 into the position potential, s = p clamped to
  // [low, high]: the squared distance to the target's line or segment.
  void LineDistance(double weight, double low, double high) {
    const double s = p < low ? low : p > high ? high : p;
    const Vec v = dt - s * zT;
    terms.position += weight * Dot(v, v);
    // Where s follows p, v also depends on dt through p.
    const Vec slope = s == p ? v - Dot(zT, v) * zT : v;
    terms.dOrigin = terms.dOrigin + (-2.0 * weight) * slope;
    if (withResiduals) terms.Add(weight, kZero, s == p ? Projector(-1.0, zT) : kMinusIdentity);
  }

  // weight x p^2, the squared distance to the target's XY plane.
  void PlaneDistance(double weight, bool intoRotation) {
    (intoRotation ? terms.rotation : terms.position) += weight * p * p;
    terms.dOrigin = terms.dOrigin + (-2.0 * weight * p) * zT;
    if (withResiduals) terms.Add(weight, kZero, {{-1.0 * zT, {0.0, 0.0, 0.0}, {0.0, 0.0, 0.0}}});
  }

  // K x |n - zE|^2, n the unit direction from the end-effector origin to
  // the target's origin.
  void Pointing() {
    const double length = std::sqrt(Dot(dt, dt));
    if (!(length > kNullDirection)) return;
    const Vec n = (1.0 / length) * dt;
    const Vec zE = RowOf(effector, 2);
    const Vec d = n - zE;
    terms.rotation += K * Dot(d, d);
    terms.dAxis[2] = terms.dAxis[2] + (-2.0 * K) * d;
    terms.dOrigin = terms.dOrigin + (2.0 * K / length) * (zE - Dot(n, zE) * n);
    if (withResiduals) terms.Add(K, CrossBy(zE), Projector(-1.0 / length, n));
  }

  double P() const { return p; }
  const Terms& Result() const { return terms; }

 private:
  const bool withResiduals;
  const MK4x4Matrix& target;
  const MK4x4Matrix& effector;
  const Vec dt;
  const Vec zT;
  const double p;
  Terms terms;
};

Terms Evaluate(int type, double w, double range, const MK4x4Matrix& target,
               const MK4x4Matrix& effector, bool withResiduals) {
  Evaluation e(target, effector, withResiduals);
  constexpr double kUnbounded = HUGE_VAL;
  switch (type) {
    case MKIKConstraint::sPosition:
      e.Distance(1.0);
      break;
    case MKIKConstraint::sYDirection:
      e.Distance(w);
      e.Axis(1, 1.0 - w);
      break;
    case MKIKConstraint::sXDirection:
      // Built like the Y and Z Direction types on the X axis: the type has
      // its own display, default weights and angle to target, so it pulls
      // the X axis rather than nothing.
      e.Distance(w);
      e.Axis(0, 1.0 - w);
      break;
    case MKIKConstraint::sZDirection:
      e.Distance(w);
      e.Axis(2, 1.0 - w);
      break;
    case MKIKConstraint::sOrientation:
      e.Axis(0, 1.0);
      e.Axis(1, 1.0);
      break;
    case MKIKConstraint::sFrame:
      e.Distance(w);
      e.Axis(0, 1.0 - w);
      e.Axis(1, 1.0 - w);
      break;
    case MKIKConstraint::sPointing:
      e.Pointing();
      break;
    case MKIKConstraint::sLine:
      // The segment runs from the target's origin along its +Z for `range`.
      e.LineDistance(1.0, -range, 0.0);
      break;
    case MKIKConstraint::sInfiniteLine:
      e.LineDistance(1.0, -kUnbounded, kUnbounded);
      break;
    case MKIKConstraint::sLineWithZDirection:
      // Off the segment, the distance to the target's origin adds a pull back.
      e.LineDistance(w, -kUnbounded, kUnbounded);
      if (!(e.P() > -range && e.P() < 0.0)) e.Distance(w);
      e.Axis(2, 1.0 - w);
      break;
    case MKIKConstraint::sHalfSpace:
      // Only the side where p > 0 is penalised; kept as the rotation part.
      if (e.P() > 0.0) e.PlaneDistance(1.0, true);
      break;
    case MKIKConstraint::sPlane:
      e.PlaneDistance(w, false);
      break;
    case MKIKConstraint::sPlaneWithZDirection:
      e.PlaneDistance(w, false);
      e.Axis(2, 1.0 - w);
      break;
    default:
      break;
  }
  return e.Result();
}

// How a DOF turns the end effector: its rotation rate vector per unit of
// mathematical value (world axis x the rate of the applied angle) and a
// point of its axis.
struct Rate {
  Vec omega;
  Vec origin;
};

// The applied angle per unit of mathematical value: +1 for inverted or
// left-handed DOFs, -1 for the others.
double Sense(const MKDOF* dof) {
  return dof->IsLeftHanded() || dof->IsInverted() ? 1.0 : -1.0;
}

// A pure master turns its slave's segment (an ancestor), about the slave's
// axis, which is the last rotation of that segment.
Rate PureMasterRate(const MKDOF* master) {
  Rate rate{};
  const MKDOF* slave = master->GetPureSlave();
  MKBodyElement* owner = slave ? slave->GetOwner() : nullptr;
  if (!owner || owner->GetMKClassName() != MKSegmentClass) return rate;
  const MK4x4Matrix& global = owner->GetGlobalMatrix();
  rate.omega = Sense(slave) * RowOf(global, slave->GetNumber());
  rate.origin = RowOf(global, 3);
  return rate;
}

// Row r of the 3 x 3 product of a's and b's rotation parts.
Vec RowProduct(const MK4x4Matrix& a, int r, const MK4x4Matrix& b) {
  return a(r, 0) * RowOf(b, 0) + a(r, 1) * RowOf(b, 1) + a(r, 2) * RowOf(b, 2);
}

// The rates of the visible DOFs of a segment, in DOF order. Its global
// matrix is Rz Ry Rx (parameter matrix x the ancestor's global matrix), each
// rotation turning rows of the matrix before it: X keeps row 0, Y keeps
// row 1 and Z keeps row 2. So the X axis is a row of the unrotated product,
// the Z axis a row of the global matrix, and only the Y axis needs the X
// angle. The thumb's tilted first phalanx is rebuilt rotation by rotation.
// A vertebra's DOFs turn that vertebra alone, so the spine follows the
// general rule.
int SegmentRates(MKSegment* segment, Rate rates[3]) {
  const MKDOF* x = segment->GetDOF(0);
  const MKDOF* y = segment->GetDOF(1);
  const MKDOF* z = segment->GetDOF(-2);
  Vec axis[3] = {{0.0, 0.0, 0.0}, {0.0, 0.0, 0.0}, {0.0, 0.0, 0.0}};
  const MK4x4Matrix& global = segment->GetGlobalMatrix();
  const Vec origin = RowOf(global, 3);
  const MKShortName name = segment->GetShortName();
  const bool thumb = name == RSHaTh1 || name == LSHaTh1;
  MKSegment* ancestor = segment->GetAncestor();
  const MK4x4Matrix& para = segment->GetParaMatrix();
  if (thumb) {
    MK4x4Matrix w = ancestor ? para * ancestor->GetGlobalMatrix() : para;
    Vec extra{0.0, 0.0, 0.0};  // the thumb's Z share of its Y DOF
    if (y) {
      const double a = Sense(y) * y->GetMathematicalValue();
      w.RotZ((Sense(y) > 0.0 ? -kThumbOffset : kThumbOffset) + kThumbShare * a);
      extra = kThumbShare * RowOf(w, 2);
      w.RotY(a);
      axis[1] = RowOf(w, 1) + extra;
    }
    if (x) {
      w.RotX(Sense(x) * x->GetMathematicalValue());
      axis[0] = RowOf(w, 0);
    }
  } else {
    const bool turnsX = x && !x->IsPureMaster();
    const bool turnsY = y && !y->IsPureMaster();
    if (turnsX || turnsY) {
      const auto row = [&](int r) {
        return ancestor ? RowProduct(para, r, ancestor->GetGlobalMatrix()) : RowOf(para, r);
      };
      if (turnsX) axis[0] = row(0);
      if (turnsY) {
        axis[1] = row(1);
        if (turnsX) {
          const double a = Sense(x) * x->GetMathematicalValue();
          axis[1] = std::cos(a) * axis[1] + std::sin(a) * row(2);
        }
      }
    }
  }
  if (z && !z->IsPureMaster()) axis[2] = RowOf(global, 2);
  // The thumb applies its X and Y DOFs whatever their flags; elsewhere a
  // pure master turns its slave's segment instead of its own.
  int count = 0;
  for (int i = 0; i < 3; ++i) {
    const MKDOF* dof = segment->GetDOF(i);
    if (!dof) continue;
    Rate& rate = rates[count++];
    if (dof->IsPureMaster() && !(thumb && i < 2)) {
      rate = PureMasterRate(dof);
    } else {
      rate.omega = Sense(dof) * axis[i];
      rate.origin = origin;
    }
  }
  return count;
}

// A line of sight hangs at its eye segment's tip, turned half round about
// Z, then pitched about X by (vertical offset - DOF 0) and turned about Y by
// the yaw that keeps the tangent of (DOF 1 - horizontal offset) in the
// eye's projection: atan2(sin(y) cos(pitch), cos(y)). The yaw thus also
// follows the pitch.
int LineOfSightRates(MKLineOfSight* line, Rate rates[3]) {
  MKBodyElement* owner = line->GetOwner();
  if (!owner || owner->GetMKClassName() != MKSegmentClass) return 0;
  auto* eye = static_cast<MKSegment*>(owner);
  MK4x4Matrix w;
  w.BuildFromTrans(0.0, 0.0, eye->GetLength());
  w.RotZ(M_PI);
  w = w * eye->GetGlobalMatrix();
  const Vec origin = RowOf(w, 3);
  const MKDOF* vertical = line->GetDOF(0);
  const MKDOF* horizontal = line->GetDOF(1);
  double pitch = 0.0;
  Vec pitchAxis{0.0, 0.0, 0.0};
  if (vertical && !vertical->IsPureMaster()) {
    pitch = line->GetVerticalOffset() - vertical->GetMathematicalValue();
    w.RotX(pitch);
    pitchAxis = RowOf(w, 0);
  }
  double yawPerValue = 0.0, yawPerPitch = 0.0;
  Vec yawAxis{0.0, 0.0, 0.0};
  if (horizontal && !horizontal->IsPureMaster()) {
    const double y = horizontal->GetMathematicalValue() - line->GetHorizontalOffset();
    const double sy = std::sin(y), cy = std::cos(y), cp = std::cos(pitch);
    const double denominator = sy * sy * cp * cp + cy * cy;
    if (denominator > 0.0) {
      yawPerValue = cp / denominator;
      yawPerPitch = -sy * cy * std::sin(pitch) / denominator;
    }
    w.RotY(std::atan2(sy * cp, cy));
    yawAxis = RowOf(w, 1);
  }
  int count = 0;
  if (vertical) {
    // The pitch falls as DOF 0 rises; the yaw follows the pitch.
    rates[count].omega = (-1.0) * pitchAxis - yawPerPitch * yawAxis;
    rates[count++].origin = origin;
  }
  if (horizontal) {
    rates[count].omega = yawPerValue * yawAxis;
    rates[count++].origin = origin;
  }
  return count;
}

int RatesOf(MKBodyElement* element, Rate rates[3]) {
  switch (element->GetMKClassName()) {
    case MKSegmentClass:
      return SegmentRates(static_cast<MKSegment*>(element), rates);
    case MKLineOfSightClass:
      return LineOfSightRates(static_cast<MKLineOfSight*>(element), rates);
    default:
      return 0;
  }
}

}  // namespace

double MKIKConstraint::ComputePotential() {
  positionPotential = 0.0;
  rotationPotential = 0.0;
  const Terms terms =
      Evaluate(targetType, positionWeight, range, targetMatrix, GetEndEffectorMatrix(), false);
  positionPotential = terms.position;
  rotationPotential = terms.rotation;
  return positionPotential + rotationPotential;
}

void MKIKConstraint::ComputeGradient(double* g, MKIKCurvature* curvature) {
  if (!g || !endEffector || chainElements.Size() == 0) return;
  const MK4x4Matrix effector = GetEndEffectorMatrix();
  const Terms terms =
      Evaluate(targetType, positionWeight, range, targetMatrix, effector, curvature != nullptr);
  // Turning by d(theta) about an axis omega through O moves the origin P by
  // omega x (P - O) and each axis v by omega x v, so the potential changes by
  // omega . ((P - O) x dOrigin + sum of v x dAxis).
  const Vec origin = RowOf(effector, 3);
  Vec moment = Cross(origin, terms.dOrigin);
  for (int axis = 0; axis < 3; ++axis)
    moment = moment + Cross(RowOf(effector, axis), terms.dAxis[axis]);
  const double scale = weight * kRadiansPerDegree;
  // The residuals' derivatives, one column per DOF of the chain, padded to
  // a fixed height so that the products below have a fixed length.
  constexpr std::size_t kRows = 3 * sizeof(Terms::residuals) / sizeof(Residual);
  std::size_t count = 0;
  if (curvature) {
    const std::size_t columns = 3 * static_cast<std::size_t>(chainElements.Size());
    if (curvature->columns.size() < columns * kRows) curvature->columns.resize(columns * kRows);
    if (curvature->indexes.size() < columns) curvature->indexes.resize(columns);
  }
  for (int i = 1; i <= chainElements.Size(); ++i) {
    Rate rates[3];
    const int number = RatesOf(static_cast<MKBodyElement*>(chainElements[i]), rates);
    const int first = chainDOFIndexes[i];
    for (int k = 0; k < number; ++k) {
      const Vec lever = moment - Cross(rates[k].origin, terms.dOrigin);
      g[first + k] += scale * Dot(rates[k].omega, lever);
      if (!curvature || first + k >= curvature->n) continue;
      const Vec velocity = Cross(rates[k].omega, origin - rates[k].origin);
      double* column = curvature->columns.data() + count * kRows;
      for (int r = 0; r < terms.residualCount; ++r) {
        const Residual& residual = terms.residuals[r];
        Vec d{0.0, 0.0, 0.0};
        if (residual.turns) d = residual.turn * rates[k].omega;
        if (residual.shifts) d = d + residual.shift * velocity;
        column[3 * r] = residual.root * d.x;
        column[3 * r + 1] = residual.root * d.y;
        column[3 * r + 2] = residual.root * d.z;
      }
      for (std::size_t r = 3 * static_cast<std::size_t>(terms.residualCount); r < kRows; ++r)
        column[r] = 0.0;
      curvature->indexes[count++] = first + k;
    }
  }
  if (!curvature) return;
  // 2 x weight x J'J on the gradient's scale, symmetric.
  const double* columns = curvature->columns.data();
  const auto n = static_cast<std::size_t>(curvature->n);
  double* matrix = curvature->matrix.data();
  for (std::size_t a = 0; a < count; ++a) {
    const double* ca = columns + a * kRows;
    const auto row = static_cast<std::size_t>(curvature->indexes[a]);
    for (std::size_t b = a; b < count; ++b) {
      const double* cb = columns + b * kRows;
      // One partial sum per coordinate: a single running sum would chain
      // every addition behind the one before.
      double partial[3] = {0.0, 0.0, 0.0};
      for (std::size_t r = 0; r < kRows; r += 3)
        for (std::size_t c = 0; c < 3; ++c) partial[c] += ca[r + c] * cb[r + c];
      const double sum = 2.0 * scale * (partial[0] + partial[1] + partial[2]);
      const auto col = static_cast<std::size_t>(curvature->indexes[b]);
      matrix[row * n + col] += sum;
      if (row != col) matrix[col * n + row] += sum;
    }
  }
}
