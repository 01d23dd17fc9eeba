#pragma once

#include "host/KelString.h"
#include "host/KelUnicodeString.h"

// Message texts of the host platform. A catalogue called NAME is the data
// file NAME.msg (see KelDataPath.h), read once on first use. Each entry is a
// line `Key = "Text";` (escapes \" \\ \n \t); lines starting with '#' are
// comments. In a text, /P1 ... /P9 stand for the parameters.
class KelMsgCatalog {
 public:
  // The catalogue's text for `key` with its parameters substituted, or
  // `defaultText` when the catalogue or the key is absent.
  static KelUnicodeString BuildMessage(const KelString& catalogue, const KelString& key,
                                       const KelUnicodeString* parameters, int count,
                                       const KelUnicodeString& defaultText);
};
