#pragma once

// The host's interactive command currently running, as far as the IK
// solver asks it: the element the user chose for the head to look at.
class MKKHmiActiveCommand {
 public:
  virtual ~MKKHmiActiveCommand() = default;
  // The MKShortName of the element to look at.
  virtual int GetLookAtElement() const = 0;
};

// The host's user-interface listener, registered by the host; the IK
// solver asks it which inverse-kinematics or reach command is active.
class MKKHmiUIActiveObjectListener {
 public:
  virtual ~MKKHmiUIActiveObjectListener() = default;
  // The registered listener; null when the host registered none.
  static MKKHmiUIActiveObjectListener* GetUIActiveObjectListener();
  // Not owned; null unregisters.
  static void SetUIActiveObjectListener(MKKHmiUIActiveObjectListener* listener);
  // The active command of that name ("MKKHmiManikinIKModeCmd",
  // "MKKHmiManikinReachModeCmd"), or null.
  virtual MKKHmiActiveCommand* GetActiveCommand(const char* name) const = 0;
};
