#pragma once

#include "host/KelUnicodeString.h"

// File access of the host platform through small integer handles. Every
// function answers a negative value on failure and 0 (or a count) on success.
int KelFOpen(const KelUnicodeString* path, const char* mode, unsigned int* handle);
int KelFSize(unsigned int handle, unsigned int* size);
int KelFRead(unsigned int handle, void* buffer, unsigned int size, unsigned int* read);
// Reads one line (with its newline) into buffer, at most maximum - 1 bytes,
// zero-terminated; negative at end of file or on error.
int KelFGets(char* buffer, int maximum, unsigned int handle);
// 1 at end of file, 0 before it, negative for a bad handle.
int KelFEof(unsigned int handle);
int KelFClose(unsigned int handle);
