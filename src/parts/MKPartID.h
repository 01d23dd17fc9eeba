#pragma once

// Kinds of the parts of a manikin's part tree. Each has a four-digit string
// form (MKManikinPart::ConvertPartIDToString) from which stream tags are built.
enum MKPartID : int {
  MKPartDefaultID = 0,
  MKPartManikinID = 1,
  MKPartLibraryID = 2,
  MKPartAnthropometryID = 3,
  MKPartAnthroVariableID = 4,
  MKPartPostureID = 5,
  MKPartPrefAnglesID = 6,
  MKPartPrefAngleID = 7,
  MKPartJointLimitsID = 8,
  MKPartJointLimitsVariableID = 9,
  MKPartIKConstraintsID = 10,
  MKPartJointLimitsDBReferenceID = 11,
  MKPartAnthroDBReferenceID = 12,
  MKPartMemoID = 13,
  MKPartIKSpecsID = 14,
  MKPartVisionID = 15,
  MKPartClothingID = 16,  // reserved: no part of this kind is ever made
  MKPartPostureVariableID = 17,
  MKPartIKConstraintID = 18,
  MKPartVisualLimitsID = 19,
  MKPartVisualLimitsVariableID = 20,
  MKPartUserDBAnthroID = 21,
  MKPartUserDBAnthroVariableID = 22,
  MKPartUserDBJointLimitsID = 23,
  MKPartUserDBJointLimitsVariableID = 24,
  MKPartFrameID = 25,
  MKPartSetID = 26,
  MKPartJointLimitsDof1ID = 27,
  MKPartJointLimitsDof2ID = 28,
  MKPartJointLimitsDof3ID = 29,
  MKPartPrefAnglesDof1ID = 30,
  MKPartPrefAnglesDof2ID = 31,
  MKPartPrefAnglesDof3ID = 32
};
