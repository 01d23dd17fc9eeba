#include "analysis/detail/MKHandling.h"

#include "analysis/MKAnalysis.h"
#include "anthro/MKAnthro.h"
#include "anthro/MKAnthroVariable.h"
#include "body/MKBody.h"
#include "body/MKSegment.h"
#include "manikin/MKManikin.h"
#include "math/MK3x1Matrix.h"
#include "math/MK4x4Matrix.h"
#include "math/MKFrame.h"
#include "math/MKIEEE.h"
#include "parts/MKManikinPart.h"

namespace mkhandling {

MK3DVertex End(const MKBody* body, MKShortName segment) {
  MKSegment* s = body ? body->GetSegment(segment) : nullptr;
  if (!s) return MK3DVertex(MKIEEE::NaN(), MKIEEE::NaN(), MKIEEE::NaN());
  return s->GetEndPoint(MKGlobalSpace);
}

MK3DVertex MidEnd(const MKBody* body, MKShortName a, MKShortName b) {
  const MK3DVertex p = End(body, a);
  const MK3DVertex q = End(body, b);
  return MK3DVertex((p.x + q.x) / 2.0, (p.y + q.y) / 2.0, (p.z + q.z) / 2.0);
}

MK3DVertex InFrame(const MK3DVertex& point, const MKFrame& frame) {
  const MK3x1Matrix p = MK4x4Matrix(frame) * MK3x1Matrix(point);
  return MK3DVertex(p(0), p(1), p(2));
}

bool IsPosture(const MKManikinPart* part) {
  return part && part->GetPartID() == MKPartPostureID;
}

bool Paste(MKManikin* manikin, const MKManikinPart* posture) {
  return manikin && IsPosture(posture) && manikin->PasteFrom(posture, 1).IsSuccess();
}

double Weight(const MKManikin* manikin) {
  const MKAnthro* anthro = manikin ? manikin->GetAnthro() : nullptr;
  const MKAnthroVariable* weight = anthro ? anthro->GetVariable("<WEIGHT>") : nullptr;
  return weight ? weight->GetValue() : 0.0;
}

int Sex(const MKManikin* manikin) {
  const MKAnthro* anthro = manikin ? manikin->GetAnthro() : nullptr;
  return anthro ? anthro->GetSex() : -1;
}

bool PasteAndCheckStance(MKManikin* manikin, const MKManikinPart* origin,
                         const MKManikinPart* destination, const MKFrame& originFrame,
                         const MKFrame& destinationFrame, MKStatus& warning) {
  MKBody* body = manikin ? manikin->GetBody() : nullptr;
  if (!body || !IsPosture(destination) || !Paste(manikin, origin)) return false;
  if (!MKAnalysis::CheckFloorStand(body, originFrame)) warning = MKStatusOriginNotOnFloor;
  if (!Paste(manikin, destination)) return false;
  if (!MKAnalysis::CheckFloorStand(body, destinationFrame)) warning = MKStatusDestinationNotOnFloor;
  return true;
}

bool PercentageAccepted(int guideLine, double percentage, bool lifting) {
  if (guideLine == MKAnalysis::MKLibertyMutual2021) return percentage > 0.0 && percentage < 100.0;
  if (guideLine != MKAnalysis::MKSnookCiriello1991) return true;
  if (percentage == 50.0 || percentage == 75.0 || percentage == 90.0) return true;
  return lifting && (percentage == 10.0 || percentage == 25.0);
}

PostureKeeper::PostureKeeper(MKManikin* m)
    : manikin(m), saved(m ? m->ExtractPart(MKPartPostureID, 0, nullptr) : nullptr) {}

PostureKeeper::~PostureKeeper() {
  if (!saved) return;
  manikin->PasteFrom(saved, 1);
  saved->Destroy();
}

}  // namespace mkhandling
