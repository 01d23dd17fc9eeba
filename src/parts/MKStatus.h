#pragma once

#include "host/KelUnicodeString.h"

// Result codes of the library. 0 is success; every other value is a failure.
// The numbers are the contract; codes below 100 are shared by several areas
// and keep their meaning from the operation that returns them.
enum MKStatusCode : int {
  MKStatusSuccess = 0,
  // The initial status of an analysis, left when it could not finish.
  MKStatusNotCompleted = 1,
  MKStatusGeneral = 2,
  MKStatusFailure = 3,
  MKStatusNoMemory = 4,
  MKStatusValueRefused = 5,
  // A sex selector other than 0 (female) or 1 (male).
  MKStatusSexRefused = 6,
  // A manikin, posture or measurement an analysis needs is missing or out of range.
  MKStatusMissingInput = 9,
  MKStatusStreamContent = 100,
  MKStatusUserDBContent = 102,
  MKStatusPartTooLarge = 105,
  // Manual-handling analyses: an argument refused, or a task outside the tables.
  MKStatusGuideLineRefused = 200,
  MKStatusCouplingRefused = 201,
  MKStatusFrequencyRefused = 202,
  MKStatusDurationOrFrequencyOutOfRange = 203,
  MKStatusLoadRefused = 204,
  MKStatusPercentageRefused = 205,
  MKStatusPushDistanceRefused = 206,
  MKStatusPullDistanceRefused = 207,
  MKStatusCarryDistanceRefused = 208,
  // RULA: no scoring settings, or a body, DOF or segment they cannot score.
  MKStatusNoRULAResult = 209,
  // Lifting warnings: the analysis finished, but the posture is doubtful.
  MKStatusOriginNotBalanced = 250,
  MKStatusDestinationNotBalanced = 251,
  MKStatusOriginHandsNotLevel = 252,
  MKStatusDestinationHandsNotLevel = 253,
  MKStatusOriginNotOnFloor = 254,
  MKStatusDestinationNotOnFloor = 255,
  // Warning of the 2021 equations: an input outside their range was clamped to it.
  MKStatusInputClamped = 256,
  MKStatusAnthroDB = 300,
  MKStatusManikinBuild = 301,
  MKStatusCoupledSpine = 400,
  MKStatusMemoOfOtherOwner = 500,
  MKStatusNothingToPaste = 600,
  MKStatusPasteKindRefused = 601,
  MKStatusJointLimitsDB = 800,
  MKStatusUserDBAnthro = 1000,
  MKStatusUserDBJointLimits = 1100,
  MKStatusDatabaseManager = 1200,
  MKStatusIKSolver = 1300,
  // Internal loop value of the container readers; never returned.
  MKStatusReadingInProgress = 9999
};

class MKStatus {
 public:
  MKStatus() = default;
  MKStatus(MKStatusCode code) : code(code) {}  // NOLINT: a code is a status
  explicit MKStatus(int code) : code(static_cast<MKStatusCode>(code)) {}

  bool operator==(const MKStatus& other) const { return code == other.code; }
  bool operator!=(const MKStatus& other) const { return code != other.code; }
  bool operator==(MKStatusCode other) const { return code == other; }
  bool operator!=(MKStatusCode other) const { return code != other; }
  // A status compares with its number as well: `status == 0` is success.
  bool operator==(int other) const { return code == other; }
  bool operator!=(int other) const { return code != other; }

  MKStatusCode GetCode() const { return code; }
  bool IsSuccess() const { return code == MKStatusSuccess; }

  // The catalogue text of "MKStatusMessage<code>" in "LumHumanModeling";
  // "@" followed by that key when the catalogue has no such entry.
  KelUnicodeString GetUnicodeStatusMessage() const;

  // The one field of a status.
  MKStatusCode code = MKStatusSuccess;
};
