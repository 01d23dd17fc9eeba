#pragma once

#include <string>

class MKDBAnthro;

namespace mkcli {

// A population described by a small CSV file, completed by the library:
//
//   acronym,sex,mean,sd
//   STATURE,female,162.85,6.42
//   STATURE,male,175.62,6.86
//   WEIGHT/STATURE,male,0.53
//
// The header line comes first; blank lines and lines starting with '#' are
// ignored. A dimension row gives an acronym (with or without angle
// brackets), "female" or "male", the mean and the standard deviation in cm
// (kg for WEIGHT); every dimension needs a row for each sex. A correlation
// row names two dimensions of the file joined by '/', a sex and the
// coefficient; a sex left out keeps the built-in coefficient. The
// population takes the file's name without directory and extension.
//
// Reads and completes it; the database lives until the program ends. A
// Failure naming the line for a file that cannot be read or is malformed.
MKDBAnthro& ReadPopulationFile(const std::string& path);

}  // namespace mkcli
