#pragma once

#include "math/MK4x4Matrix.h"

// Receives the pieces of MKIKManager::DumpConstraintsInfo in order.
class MKIKDumpSink {
 public:
  virtual ~MKIKDumpSink() = default;
  virtual void Text(const char* text) = 0;
  virtual void Number(int value) = 0;
  virtual void Number(double value) = 0;
  virtual void Matrix(const MK4x4Matrix& matrix) = 0;
};
