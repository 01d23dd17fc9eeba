#pragma once

#include "host/KelString.h"

// Identifier of databases, preferred-angle zones and IK constraints. A new
// one is 36 characters: clock seconds, this object's address, a fixed
// "8048" group, the milliseconds and a per-library counter, all in hex.
class MKUUID {
 public:
  MKUUID();
  explicit MKUUID(const char* text) : text(text) {}
  MKUUID(const MKUUID&) = default;
  MKUUID& operator=(const MKUUID&) = default;
  bool operator==(const MKUUID& other) const { return text == other.text; }
  bool operator!=(const MKUUID& other) const { return !(*this == other); }

  void ConvertToString(KelString& out) const { out = text; }

 private:
  KelString text;
};
