#pragma once

// The pieces of the message catalogue reader, for the fuzzing of catalogue
// files; hosts use KelMsgCatalog.

#include <istream>
#include <map>
#include <string>

#include "host/KelUnicodeString.h"

// The entries of a catalogue file, by key (format: see KelMsgCatalog.h).
std::map<std::string, std::string> KelReadMsgCatalog(std::istream& in);

// `text` with /P1 ... /P`count` replaced by the parameters.
KelUnicodeString KelSubstituteMsgParameters(const std::string& text,
                                            const KelUnicodeString* parameters, int count);
