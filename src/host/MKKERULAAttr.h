#pragma once

// The host's RULA attributes. Most have a value form (MKKERULAValue) and
// some a double form (a threshold angle in radians, or the load in kg):
// the posture questions (shoulder raised ... trunk side-bending) have both,
// the value saying yes, no or automatic and the threshold deciding
// automatic; the load has only its double; the other questions only a value.
enum MKKERULAAttr : int {
  MKKRULAShoulderRaised = 0,
  MKKRULAArmAbducted = 1,
  MKKRULAArmSupported = 2,       // arm supported or person leaning
  MKKRULAArmsAcrossMidline = 3,  // arms working across the mid-line or out to the side
  MKKRULAWristBent = 4,
  MKKRULAWristTwisted = 5,
  MKKRULAArmOutToSide = 6,
  MKKRULAMuscleUse = 7,  // posture static or repeated
  MKKRULALoad = 8,
  MKKRULALoadMode = 9,
  MKKRULANeckTwisted = 10,
  MKKRULANeckSideBending = 11,
  MKKRULATrunkTwisted = 12,
  MKKRULATrunkSideBending = 13,
  MKKRULASide = 14,
  MKKRULALegs = 15  // legs not supported or not balanced
};
