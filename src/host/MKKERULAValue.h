#pragma once

// The host's values of the RULA attributes: yes and no, the load modes, the
// sides, and automatic (derived from the posture).
enum MKKERULAValue : int {
  MKKRULANo = 0,
  MKKRULAYes = 1,
  MKKRULAStatic = 2,
  MKKRULAIntermittent = 3,
  MKKRULARepeatedOrShock = 4,
  MKKRULALeft = 5,
  MKKRULARight = 6,
  MKKRULAAutomatic = 7
};
