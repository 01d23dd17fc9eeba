#include "math/MKIEEE.h"

#include <cstdint>
#include <cstring>

namespace {

constexpr std::uint64_t kExponentMask = 0x7FF0000000000000ULL;
constexpr std::uint64_t kFractionMask = 0x000FFFFFFFFFFFFFULL;

double FromBits(std::uint64_t bits) {
  double value;
  std::memcpy(&value, &bits, sizeof value);
  return value;
}

std::uint64_t ToBits(double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return bits;
}

}  // namespace

double MKIEEE::NaN() {
  return FromBits(0x7FFF000000000000ULL);
}

double MKIEEE::Infinite() {
  return FromBits(kExponentMask);
}

bool MKIEEE::IsNaN(double value) {
  const std::uint64_t bits = ToBits(value);
  return (bits & kExponentMask) == kExponentMask && (bits & kFractionMask) != 0;
}

bool MKIEEE::IsInfinite(double value) {
  const std::uint64_t bits = ToBits(value);
  return (bits & kExponentMask) == kExponentMask && (bits & kFractionMask) == 0;
}

double MKIEEE::IntBitsToDouble(int high, int low) {
  const std::uint64_t bits = (static_cast<std::uint64_t>(static_cast<std::uint32_t>(high)) << 32) |
                             static_cast<std::uint32_t>(low);
  return FromBits(bits);
}
