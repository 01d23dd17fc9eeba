#include "parts/MKUUID.h"

#include <atomic>
#include <chrono>
#include <cstdint>

namespace {
// Manikins may be built on several threads at once.
std::atomic<unsigned int> uuidCounter{0};

// Writes `value` in lowercase hex, zero-padded to at least `width` digits,
// as "%0*lx" would; answers the end. Written by hand because every
// preferred-angle zone of a new manikin takes an identifier.
char* PutHex(char* out, unsigned long value, int width) {
  static constexpr char kDigits[] = "0123456789abcdef";
  int digits = 1;
  for (unsigned long rest = value >> 4; rest != 0; rest >>= 4) ++digits;
  if (digits < width) digits = width;
  for (int i = digits - 1; i >= 0; --i, value >>= 4) out[i] = kDigits[value & 0xFUL];
  return out + digits;
}

char* PutText(char* out, const char* text) {
  while (*text) *out++ = *text++;
  return out;
}
}  // namespace

MKUUID::MKUUID() {
  // Same fields as an ftime() reading: whole seconds and milliseconds.
  const auto sinceEpoch = std::chrono::system_clock::now().time_since_epoch();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(sinceEpoch).count();
  const auto seconds = static_cast<unsigned long>(ms / 1000) & 0xFFFFFFFFUL;
  const auto millis = static_cast<unsigned long>(ms % 1000);
  const auto address =
      static_cast<unsigned long>(reinterpret_cast<std::uintptr_t>(this)) & 0xFFFFFFFFUL;

  // The address splits 4-4 for the usual 8-4-4-4-12 grouping.
  char buffer[64];
  char* end = PutHex(buffer, seconds, 8);
  end = PutText(end, "-");
  end = PutHex(end, address >> 16, 4);
  end = PutText(end, "-");
  end = PutHex(end, address & 0xFFFFUL, 4);
  end = PutText(end, "-8048-");
  end = PutHex(end, millis, 4);
  end = PutHex(end, uuidCounter.fetch_add(1, std::memory_order_relaxed), 8);
  *end = '\0';
  text = buffer;
}
