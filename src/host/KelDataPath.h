#pragma once

#include "host/KelUnicodeString.h"

// Runtime data of the library (message catalogue, skin files). Looked for, in
// order: the directory named by the environment variable MKManikinDataPath;
// the installed data directory found relative to the loaded library (so an
// installed tree can be moved); the data/ directory of the source tree the library was
// built from; the configured installation directory.
//
// Full path of the first existing data file called `name`; empty when none.
KelUnicodeString KelFindDataFile(const char* name);
// The data directories in search order, each ending without a separator.
int KelGetDataDirectories(KelUnicodeString* directories, int maximum);
