#pragma once

#include <vector>

#include "math/MK4x4Matrix.h"
#include "parts/MKShortName.h"

class MKDOF;
class MKIKConstraint;
class MKIKManager;

// Small pieces shared by the solving strategies.
namespace mkik {

// The active, valid constraints in list order.
std::vector<MKIKConstraint*> ActiveConstraints(const MKIKManager& manager);
// Whether every active, valid constraint is within the tolerance (the
// potentials are computed afresh).
bool AllResolved(const MKIKManager& manager);
// The constraint's offset as given to SetOffsetMatrix: relative to the
// end effector's tip.
MK4x4Matrix OffsetFromTip(const MKIKConstraint& constraint);
bool IsEye(int shortName);
// When the constraint's potential is now below `best`, it becomes the best
// and the chain's posture is saved; answers whether it was.
bool KeepIfBetter(MKIKConstraint& constraint, double& best);

// Line-of-sight constraints turned into Pointing constraints of the head for
// a solve, and the neck's side bending held while the head points; Restore
// gives the eyes back and releases the locks.
class HeadTurn {
 public:
  explicit HeadTurn(MKIKManager& manager) : manager(manager) {}
  HeadTurn(const HeadTurn&) = delete;
  HeadTurn& operator=(const HeadTurn&) = delete;
  ~HeadTurn() { Restore(); }
  // Converts the eye constraints. With `fromNeck`, the head-pointing
  // constraints starting at the neck hold the neck's side bending at its
  // default; otherwise those whose end effector is the head hold it as is.
  void ConvertEyes(bool fromNeck);
  // The converted constraints, now on the head.
  const std::vector<MKIKConstraint*>& Converted() const { return converted; }
  void ReleaseLocks();
  void Restore();

 private:
  struct Saved {
    MKIKConstraint* constraint;
    int type;
    int eye;
    double positionWeight;
  };
  void Lock(MKShortName segment, bool toDefault);

  MKIKManager& manager;
  std::vector<Saved> saved;
  std::vector<MKIKConstraint*> converted;
  std::vector<MKDOF*> locks;
};

}  // namespace mkik
