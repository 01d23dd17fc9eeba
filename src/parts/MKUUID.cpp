#include "parts/MKUUID.h"

#include <chrono>
#include <cstdint>
#include <cstdio>

namespace {
unsigned int uuidCounter = 0;

KelString Hex(unsigned long value, const char* format) {
  char buffer[32];
  std::snprintf(buffer, sizeof buffer, format, value);
  return buffer;
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

  text = Hex(seconds, "%08lx") + "-" + Hex(address, "%08lx");
  // Position 13 counts from 0, giving the usual 8-4-4-4-12 grouping.
  text.Insert(13, "-");
  text += "-8048-";
  text += Hex(millis, "%04lx");
  text += Hex(uuidCounter++, "%08lx");
}
