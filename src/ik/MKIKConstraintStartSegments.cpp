// The default start segment of an end effector: the top of the chain a user
// expects to move when dragging that element, chosen anatomically.
#include "ik/MKIKConstraint.h"

namespace {

// A left limb segment's short name is its right twin's plus this.
constexpr int kLeftOffset = LSLeTh - RSLeTh;

// The table for the midline and the right side; the left side mirrors it.
MKShortName MidlineOrRightStart(MKShortName name) {
  // The pelvis and the two iliac pseudo-segments (SBoPh, SBoTIp, RSBoIlp,
  // LSBoIlp) carry no DOF of their own: they move with the root, which
  // answers for every name outside the table.
  if (name >= SBoL5 && name <= LSBoTst) {
    // Vertebrae, thorax and sternum: the whole trunk bends from the lowest
    // lumbar vertebra.
    return SBoL5;
  }
  if (name >= SHeNe && name <= LSHeEye) {
    // Neck, head and the head's landmarks (crown, back, forehead, nose,
    // chin, tragions, eyes): the head turns on the cervical spine.
    return SHeNe;
  }
  if (name >= RSLeTh && name <= RSFoTo) {
    // Thigh (its tip is the knee), shank (its tip is the ankle), ankle,
    // heel, sole, tarsus and toes: the leg moves from the hip.
    return RSLeTh;
  }
  if (name >= RSArCl && name <= RSHaAu3) {
    // Clavicle (its tip is the shoulder), scapula, upper arm (its tip is
    // the elbow), forearm (its tip is the wrist), hand and every phalanx of
    // the five digits: a reach involves the shoulder girdle, so the chain
    // starts at the clavicle.
    return RSArCl;
  }
  return SBoPh;
}

}  // namespace

MKShortName MKIKConstraint::FindStartSegment(MKShortName name) {
  // The three lines of sight aim with the eyes and the head on the neck.
  if (name >= LLHeEye && name <= RLHeEye) return SHeNe;
  if (name >= LSLeTh && name <= LSHaAu3) {
    const MKShortName start = MidlineOrRightStart(static_cast<MKShortName>(name - kLeftOffset));
    return start >= RSLeTh ? static_cast<MKShortName>(start + kLeftOffset) : start;
  }
  if (name < SBoPh || name > RSHaAu3) return SBoPh;
  return MidlineOrRightStart(name);
}
