#pragma once

#include "body/MKPostureSpec.h"

// The side of the body on which an anthropometric variable is drawn between
// its anchor points: none (no anchor points), the right or the left side, or
// the middle (midline dimensions and those that span both sides).
enum MKSideSpec : int { MKSideNone = 0, MKSideRight = 1, MKSideLeft = 2, MKSideMiddle = 3 };
