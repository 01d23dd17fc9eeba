#pragma once

#include <istream>
#include <string>
#include <vector>

// The Snook and Ciriello (1991) tables of maximum acceptable weights and
// forces, read at run time from the data file "snook-ciriello-1991.csv" (a
// user who holds the paper supplies the cells; the file shipped holds the
// known rows and marks every other cell missing). Values in pounds; a
// missing cell is NaN.
//
// The file is CSV, UTF-8, lines of at most 255 characters; '#' starts a
// comment line. Header, then one row per cell:
//   table,zone,h_in,d_in,distance_ft,height_in,percent,period_s,value_lb
// Lift and lower rows fill zone, h_in and d_in and leave distance_ft and
// height_in empty; push, pull and carry rows the other way round. value_lb
// is a positive number, or "NA" (or empty) for a missing cell. Every axis
// value must be one of the table's own; a cell given twice is an error.
class MKSnookCiriello1991 {
 public:
  enum Table : int {
    sMaleLift,
    sFemaleLift,
    sMaleLower,
    sFemaleLower,
    sMalePushInitial,
    sMalePushSustained,
    sFemalePushInitial,
    sFemalePushSustained,
    sMalePullInitial,
    sMalePullSustained,
    sFemalePullInitial,
    sFemalePullSustained,
    sMaleCarry,
    sFemaleCarry,
    sTableCount
  };
  static const char* const sTableNames[sTableCount];  // "male_lift", ...
  static const int sTableSizes[sTableCount];
  static const char* const sFileName;

  // Axes, ascending (percentages as stored: 90, 75, 50, 25, 10).
  static const double sLiftH[3], sLiftD[3], sLiftPeriods[8], sLiftPercentages[5];
  static const double sPushDistances[6], sPushPeriods[7], sPushPercentages[3];
  static const double sMaleHandleHeights[3], sFemaleHandleHeights[3];
  // The pull tables cover the first three push distances.
  static constexpr int sPullDistanceCount = 3;
  static const double sCarryDistances[3], sCarryPeriods[7];
  static const double sMaleCarryHeights[2], sFemaleCarryHeights[2];

  static bool IsLift(int table) { return table <= sFemaleLower; }
  static bool IsCarry(int table) { return table >= sMaleCarry; }
  static bool IsMale(int table) {
    return IsLift(table) || IsCarry(table) ? table % 2 == 0 : (table - sMalePushInitial) % 4 < 2;
  }
  static bool IsPull(int table) {
    return table >= sMalePullInitial && table <= sFemalePullSustained;
  }
  // The handle (push, pull) or hand (carry) heights of a table's sex; null for lift and lower.
  static const double* Heights(int table);

  // What a file holds: every table's cells (NaN where missing), whether each
  // cell has a row, and the errors found (each naming its line).
  struct Contents {
    std::vector<double> cells[sTableCount];
    std::vector<bool> present[sTableCount];
    std::vector<std::string> errors;
  };
  static Contents Read(std::istream& in);

  // The tables of the data file, read on first use; every cell NaN when the
  // file is missing or has any error.
  static const double* GetTable(Table table);
  // The data file's path ("snook-ciriello-1991.csv" when it was not found)
  // and, when it could not be used, why.
  static const std::string& GetPath();
  static const std::string& GetProblem();
};
