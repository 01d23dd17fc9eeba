#pragma once

// Reports an unrecoverable error (message, source file, line) on the
// standard error stream. It does not stop the process: the caller decides.
void KelFatalError(const char* message, const char* file, int line);
