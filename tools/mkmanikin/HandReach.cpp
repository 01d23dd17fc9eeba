#include "HandReach.h"

#include <tuple>

#include "Failure.h"
#include "body/MKBody.h"
#include "body/MKSegment.h"
#include "ik/MKIKConstraint.h"
#include "ik/MKIKManager.h"
#include "manikin/MKManikin.h"
#include "math/MKUnitConversions.h"

namespace mkcli {
namespace {

// Solved to within this (cm^2 of the position potential): about 0.1 cm.
constexpr double kTolerance = 0.01;

}  // namespace

int SolveHandReach(MKManikin& man, const HandTask& right, const HandTask& left) {
  MKIKManager& solver = *man.GetIKManager();
  MKBody& body = *man.GetBody();
  solver.SetBehavior(1);
  solver.SetIKTolerance(kTolerance);
  for (const auto& [hand, clavicle, task] :
       {std::tuple<MKShortName, MKShortName, const HandTask*>{RSHaCPr, RSArCl, &right},
        std::tuple<MKShortName, MKShortName, const HandTask*>{LSHaCPr, LSArCl, &left}}) {
    if (!task->position) continue;
    const int type = task->rotation ? MKIKConstraint::sFrame : MKIKConstraint::sPosition;
    MKIKConstraint* c = nullptr;
    if (solver.AddConstraint(body.GetSegment(hand), body.GetSegment(clavicle), type, c, nullptr) !=
        MKStatusSuccess)
      throw Failure(kExitFailure, "the manikin has no arm to reach with");
    MK4x4Matrix target;
    target.Unit();
    if (task->rotation) {
      const Triple& r = *task->rotation;
      target.RotXYZ(MKUnitConversions::DegreesToRadians(r[0]),
                    MKUnitConversions::DegreesToRadians(r[1]),
                    MKUnitConversions::DegreesToRadians(r[2]));
    }
    const Triple& p = *task->position;
    target(3, 0) = p[0];
    target(3, 1) = p[1];
    target(3, 2) = p[2];
    c->SetTargetMatrix(target);
    c->Activate();
  }
  return static_cast<int>(solver.Resolve().GetCode());
}

}  // namespace mkcli
