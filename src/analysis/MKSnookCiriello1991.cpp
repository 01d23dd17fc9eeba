#include "analysis/detail/MKSnookCiriello1991.h"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "host/KelDataPath.h"
#include "math/MKIEEE.h"

const char* const MKSnookCiriello1991::sTableNames[sTableCount] = {
    "male_lift",         "female_lift",         "male_lower",          "female_lower",
    "male_push_initial", "male_push_sustained", "female_push_initial", "female_push_sustained",
    "male_pull_initial", "male_pull_sustained", "female_pull_initial", "female_pull_sustained",
    "male_carry",        "female_carry"};
const int MKSnookCiriello1991::sTableSizes[sTableCount] = {1080, 1080, 1080, 1080, 378, 378, 378,
                                                           378,  189,  189,  189,  189, 126, 126};
const char* const MKSnookCiriello1991::sFileName = "snook-ciriello-1991.csv";

const double MKSnookCiriello1991::sLiftH[3] = {10, 20, 30};
const double MKSnookCiriello1991::sLiftD[3] = {10, 20, 30};
const double MKSnookCiriello1991::sLiftPeriods[8] = {5, 9, 14, 60, 120, 300, 1800, 28800};
const double MKSnookCiriello1991::sLiftPercentages[5] = {90, 75, 50, 25, 10};
const double MKSnookCiriello1991::sPushDistances[6] = {6.89, 25, 50, 100, 150, 200};
const double MKSnookCiriello1991::sPushPeriods[7] = {5, 14, 60, 120, 300, 1800, 28800};
const double MKSnookCiriello1991::sPushPercentages[3] = {90, 75, 50};
const double MKSnookCiriello1991::sMaleHandleHeights[3] = {25, 37, 57};
const double MKSnookCiriello1991::sFemaleHandleHeights[3] = {22, 35, 53};
const double MKSnookCiriello1991::sCarryDistances[3] = {6.89, 14, 28};
const double MKSnookCiriello1991::sCarryPeriods[7] = {6, 12, 60, 120, 300, 1800, 28800};
const double MKSnookCiriello1991::sMaleCarryHeights[2] = {31, 44};
const double MKSnookCiriello1991::sFemaleCarryHeights[2] = {28, 41};

namespace {

using SC = MKSnookCiriello1991;

constexpr std::size_t kLongestLine = 255;
// More lines than a complete file with generous comments has.
constexpr int kMostLines = 20000;
constexpr const char* kHeader =
    "table,zone,h_in,d_in,distance_ft,height_in,percent,period_s,value_lb";

// The index of `text` on an axis of n values; -1 when it is not one of them.
int IndexOn(const std::string& text, const double* axis, int n) {
  if (text.empty() || text.size() > 32) return -1;
  char* end = nullptr;
  const double value = std::strtod(text.c_str(), &end);
  if (*end != '\0') return -1;
  for (int i = 0; i < n; ++i)
    if (std::fabs(value - axis[i]) < 1e-9) return i;
  return -1;
}

// The cell a row names, from its fields 1..7; -1 when one is not on its axis
// or a field that must be empty is not.
int CellOf(int table, const std::vector<std::string>& f) {
  if (SC::IsLift(table)) {
    const double zones[3] = {0, 1, 2};
    const int zone = IndexOn(f[1], zones, 3), h = IndexOn(f[2], SC::sLiftH, 3);
    const int d = IndexOn(f[3], SC::sLiftD, 3), p = IndexOn(f[6], SC::sLiftPercentages, 5);
    const int t = IndexOn(f[7], SC::sLiftPeriods, 8);
    if (zone < 0 || h < 0 || d < 0 || p < 0 || t < 0 || !f[4].empty() || !f[5].empty()) return -1;
    return (((zone * 3 + h) * 3 + d) * 5 + p) * 8 + t;
  }
  const bool carry = SC::IsCarry(table);
  const int distances = carry ? 3 : SC::IsPull(table) ? SC::sPullDistanceCount : 6;
  const int heights = carry ? 2 : 3;
  const int dist = IndexOn(f[4], carry ? SC::sCarryDistances : SC::sPushDistances, distances);
  const int height = IndexOn(f[5], SC::Heights(table), heights);
  const int p = IndexOn(f[6], SC::sPushPercentages, 3);
  const int t = IndexOn(f[7], carry ? SC::sCarryPeriods : SC::sPushPeriods, 7);
  if (dist < 0 || height < 0 || p < 0 || t < 0 || !f[1].empty() || !f[2].empty() || !f[3].empty())
    return -1;
  return ((dist * heights + height) * 3 + p) * 7 + t;
}

// A cell value: NaN for "NA" or empty; false for anything but a positive number.
bool ValueOf(const std::string& text, double& value) {
  value = MKIEEE::NaN();
  if (text.empty() || text == "NA") return true;
  if (text.size() > 32) return false;
  char* end = nullptr;
  value = std::strtod(text.c_str(), &end);
  return *end == '\0' && std::isfinite(value) && value > 0.0;
}

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, ',')) fields.push_back(field);
  if (!line.empty() && line.back() == ',') fields.emplace_back();
  return fields;
}

struct Loaded {
  SC::Contents contents;
  std::string path = SC::sFileName;
  std::string problem;
};

const Loaded& Data() {
  static const Loaded loaded = [] {
    Loaded l;
    const KelUnicodeString found = KelFindDataFile(SC::sFileName);
    if (found.GetLengthInChar() > 0) l.path = static_cast<const char*>(found.ConvertToChar());
    std::ifstream in(l.path);
    if (!in) l.problem = "the file could not be opened";
    l.contents = SC::Read(in);
    if (l.problem.empty() && !l.contents.errors.empty()) l.problem = l.contents.errors.front();
    if (!l.problem.empty())
      for (auto& cells : l.contents.cells) cells.assign(cells.size(), MKIEEE::NaN());
    return l;
  }();
  return loaded;
}

}  // namespace

const double* MKSnookCiriello1991::Heights(int table) {
  if (IsLift(table)) return nullptr;
  if (IsCarry(table)) return IsMale(table) ? sMaleCarryHeights : sFemaleCarryHeights;
  return IsMale(table) ? sMaleHandleHeights : sFemaleHandleHeights;
}

MKSnookCiriello1991::Contents MKSnookCiriello1991::Read(std::istream& in) {
  Contents c;
  for (int t = 0; t < sTableCount; ++t) {
    c.cells[t].assign(sTableSizes[t], MKIEEE::NaN());
    c.present[t].assign(sTableSizes[t], false);
  }
  std::string line;
  bool header = false;
  int number = 0;
  while (std::getline(in, line)) {
    const std::string where = "line " + std::to_string(++number) + ": ";
    if (number > kMostLines) {
      c.errors.push_back(where + "too many lines");
      break;
    }
    if (line.size() > kLongestLine) {
      c.errors.push_back(where + "longer than 255 characters");
      continue;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    if (!header) {
      header = line == kHeader;
      if (!header) c.errors.push_back(where + "the header must be " + kHeader);
      continue;
    }
    const std::vector<std::string> f = Split(line);
    int table = 0;
    while (table < sTableCount && (f.empty() || f[0] != sTableNames[table])) ++table;
    if (f.size() != 9 || table == sTableCount) {
      c.errors.push_back(where + "not a row of nine fields naming a table");
      continue;
    }
    const int cell = CellOf(table, f);
    double value;
    if (cell < 0) {
      c.errors.push_back(where + "an axis value is not one of the table's");
    } else if (!ValueOf(f[8], value)) {
      c.errors.push_back(where + "the value must be a positive number of pounds or NA");
    } else if (c.present[table][cell]) {
      c.errors.push_back(where + "this cell was given before");
    } else {
      c.present[table][cell] = true;
      c.cells[table][cell] = value;
    }
  }
  if (!header && c.errors.empty()) c.errors.push_back("no header");
  return c;
}

const double* MKSnookCiriello1991::GetTable(Table table) {
  if (table < 0 || table >= sTableCount) return nullptr;
  return Data().contents.cells[table].data();
}

const std::string& MKSnookCiriello1991::GetPath() {
  return Data().path;
}

const std::string& MKSnookCiriello1991::GetProblem() {
  return Data().problem;
}
