#include "host/KelGetEnv.h"

#include <cstdlib>

const char* KelGetEnv(const char* name) {
  return name ? std::getenv(name) : nullptr;
}
