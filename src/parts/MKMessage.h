#pragma once

#include "host/KelUnicodeString.h"

// The library's texts come from the host catalogue "LumHumanModeling"; a key
// the catalogue lacks reads as "@" followed by the key.
KelUnicodeString MKGetMessage(const KelUnicodeString& key);
