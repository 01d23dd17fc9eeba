#pragma once

// The special floating values used as "no value" results across the library.
class MKIEEE {
 public:
  // Quiet NaN with the bit pattern 0x7FFF000000000000.
  static double NaN();
  // +infinity, 0x7FF0000000000000.
  static double Infinite();
  // Exponent bits all set and a non-zero fraction.
  static bool IsNaN(double value);
  // Exponent bits all set and a zero fraction, either sign.
  static bool IsInfinite(double value);
  // The double whose upper 32 bits are `high` and lower 32 bits are `low`.
  static double IntBitsToDouble(int high, int low);
};
