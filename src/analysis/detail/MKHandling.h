#pragma once

#include "math/MK3DVertex.h"
#include "parts/MKShortName.h"
#include "parts/MKStatus.h"

class MKBody;
class MKFrame;
class MKManikin;
class MKManikinPart;

// Helpers shared by the manual-handling analyses (NIOSH, Snook and
// Ciriello, Liberty Mutual): body points, frames, postures and the manikin's
// sex and weight.
namespace mkhandling {

// The end of a segment in world space; three NaNs without the body or segment.
MK3DVertex End(const MKBody* body, MKShortName segment);
// The midpoint of the ends of two segments, in world space.
MK3DVertex MidEnd(const MKBody* body, MKShortName a, MKShortName b);
// A world point in a frame: the point times the frame's matrix.
MK3DVertex InFrame(const MK3DVertex& point, const MKFrame& frame);
// The posture part pasted onto the manikin; false when it is not a posture or
// the paste fails.
bool Paste(MKManikin* manikin, const MKManikinPart* posture);
// True for a posture part.
bool IsPosture(const MKManikinPart* part);
// The manikin's weight (kg) from its anthropometry; 0 without one.
double Weight(const MKManikin* manikin);
// The manikin's sex (0 female, 1 male); -1 without anthropometry.
int Sex(const MKManikin* manikin);

// Pastes the origin and then the destination posture, checking that the
// manikin stands flat in each floor frame (warning 254, then 255); false
// without a manikin, body or postures. The destination stays on the manikin.
bool PasteAndCheckStance(MKManikin* manikin, const MKManikinPart* origin,
                         const MKManikinPart* destination, const MKFrame& originFrame,
                         const MKFrame& destinationFrame, MKStatus& warning);

// Whether a guide line (MKAnalysis::MKGuideLine) takes this population
// percentage: the 1991 tables hold 10, 25, 50, 75 and 90 % for lifting and
// lowering and 50, 75 and 90 % for pushing, pulling and carrying; the 2021
// equations take any percentage strictly between 0 and 100; NIOSH has none.
bool PercentageAccepted(int guideLine, double percentage, bool lifting);

// Saves the manikin's posture and pastes it back when it goes out of scope.
class PostureKeeper {
 public:
  explicit PostureKeeper(MKManikin* manikin);
  ~PostureKeeper();
  PostureKeeper(const PostureKeeper&) = delete;
  PostureKeeper& operator=(const PostureKeeper&) = delete;

 private:
  MKManikin* manikin;
  MKManikinPart* saved;
};

}  // namespace mkhandling
