#pragma once

// Which segments the host colours by their RULA scores: all scored ones, or
// only those of the wrist-and-arm group or of the neck, trunk and leg group.
enum MKKERULAColoring : int {
  MKKRULAColorAll = 0,
  MKKRULAColorWristAndArm = 1,
  MKKRULAColorNeckTrunkAndLeg = 2
};
