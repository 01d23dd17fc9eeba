#pragma once

#include "parts/MKShortName.h"

class MKBody;
class MKDOF;

// The angle of a run of segments about one axis, the quantity the spine
// view of a DOF measures (its spine-coupled value), from `first` up to
// `last`, each segment the parent of the next:
// - axes 0 and 1: the angle between the chord from the origin of `first` to
//   the end of `last` with every DOF of the run at its default (0 for every
//   DOF of the body), and the same chord with the run's DOFs on `axis` at
//   `valueOf(dof)`. Its magnitude is that of the spine view, and reads 0
//   below 1e-6 as there; its sign is the side the chord turns to, about the
//   axis of `first`, given like the values of its DOF (positive for a run
//   whose DOFs are all positive), where the spine view would take the side
//   of `first` alone.
// - axis 2: the sum of the magnitudes of `valueOf(dof)` over the run.
// Unlike the spine view it moves nothing: the chain is walked on the
// segments' rest matrices, without touching the body. NaN when `last` does
// not descend from `first`, or when `first` has no DOF on `axis`.
double MKRunAngle(const MKBody& body, MKShortName first, MKShortName last, int axis,
                  double (*valueOf)(const MKDOF&));
