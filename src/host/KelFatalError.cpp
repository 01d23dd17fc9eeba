#include "host/KelFatalError.h"

#include <cstdio>

void KelFatalError(const char* message, const char* file, int line) {
  std::fprintf(stderr, "MKManikin fatal error: %s (%s:%d)\n", message ? message : "",
               file ? file : "?", line);
}
