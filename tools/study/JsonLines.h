#pragma once

#include <map>
#include <string>

namespace mkstudy {

// The line (from 1) on which each value of a valid JSON text starts, by its
// JSON pointer ("" for the root, "/checks/0/point"); for messages that name
// where a field is.
std::map<std::string, int> JsonValueLines(const std::string& json);

}  // namespace mkstudy
