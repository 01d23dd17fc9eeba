#pragma once

// The host's body parts: the rows of the body-mass distribution (0 to 8),
// and the wrist (9), a part that RULA scores but that has no mass row.
enum MKKEBodyPart : int {
  MKKHand = 0,
  MKKForearm = 1,
  MKKUpperArm = 2,
  MKKHead = 3,
  MKKNeck = 4,
  MKKTrunk = 5,
  MKKThigh = 6,
  MKKLeg = 7,
  MKKFoot = 8,
  MKKWrist = 9
};
