#pragma once

#include "TriangleMesh.h"

class MKManikin;
class MKSegment;

namespace mkcli {

// The manikin's skin in its current posture, in world space (centimetres,
// Y up, facing +Z): every segment's rings and caps triangulated, one group
// per segment, and the head's subdivision surface once subdivided, its
// facial features marked. Vertices are welded and normals point outward.
TriangleMesh BuildSkinMesh(MKManikin& manikin);

// The skin element of one segment alone, triangulated the same way, in one
// group named after the segment; empty when the segment has no skin.
TriangleMesh BuildSegmentSkinMesh(MKSegment& segment, unsigned int resolution);

// The height of the ground the manikin stands on in its current posture:
// the lowest end of any segment of its skeleton (the heels and soles when
// it stands).
double FloorHeight(MKManikin& manikin);

}  // namespace mkcli
