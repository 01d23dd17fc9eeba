#pragma once

#include <string>
#include <vector>

#include "OutputFormat.h"

class MKManikin;

namespace mkcli {

// One body dimension of a manikin, as the library holds it.
struct Dimension {
  std::string acronym;  // without angle brackets
  std::string name;
  int reference;
  std::string unit;  // "cm", or "kg" for the weight
  double value;
  double percentile;  // of the value in the population of the manikin's sex
  bool fixed;         // given by the user, else predicted
  // Of the prediction given the fixed dimensions; NaN for a fixed one.
  double conditionalStdDev;
};

// The anthropometry of a manikin, in the population's order.
struct AnthropometryTable {
  std::string sex;  // "female" or "male"
  double percentile;
  std::string population;
  double accommodation;  // percent of the population
  std::vector<Dimension> dimensions;

  const Dimension* Find(const std::string& acronym) const;
};

AnthropometryTable CollectAnthropometry(const MKManikin& manikin, double percentile);

// Aligned columns for people, with a one-line heading.
std::string FormatText(const AnthropometryTable& table);
// A header row, then one row per dimension (RFC 4180 quoting); numbers in
// full precision, the deviation empty for a fixed dimension.
std::string FormatCsv(const AnthropometryTable& table);
// {"sex", "percentile", "population", "accommodation", "dimensions": [...]},
// numbers in full precision, the deviation null for a fixed dimension.
std::string FormatJson(const AnthropometryTable& table);
std::string Format(const AnthropometryTable& table, TableFormat format);

}  // namespace mkcli
