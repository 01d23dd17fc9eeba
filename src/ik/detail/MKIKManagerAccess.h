#pragma once

#include "ik/MKIKManager.h"
#include "ik/detail/MKIKDumpSink.h"

// The solver's gathered variables, for tests and benches: not part of the
// host interface.
struct MKIKManagerAccess {
  static int GetVariableCount(const MKIKManager& m) { return m.GetVariableCount(); }
  static int GetNumberOfDrivenElements(const MKIKManager& m) {
    return m.GetNumberOfDrivenElements();
  }
  static MKBodyElement* GetDrivenElement(const MKIKManager& m, int i) {
    return m.GetDrivenElement(i);
  }
  static void DumpConstraintsInfo(const MKIKManager& m, MKIKDumpSink& sink) {
    m.DumpConstraintsInfo(sink);
  }
};
