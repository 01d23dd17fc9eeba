// mkmanikin snook-check: checks a data file of the Snook and Ciriello 1991
// tables before the library is given it.
#include <CLI/CLI.hpp>

#include <cmath>
#include <fstream>
#include <iostream>

#include "CommandSupport.h"
#include "Failure.h"
#include "analysis/detail/MKSnookCiriello1991.h"

namespace mkcli {
namespace {

using SC = MKSnookCiriello1991;

// The known rows: table, first cell, values by period.
struct KnownRow {
  SC::Table table;
  int first;
  std::vector<double> values;
};

const KnownRow kKnown[] = {
    {SC::sMaleLift, 0, {22, 26, 31, 40, 44, 48, 51, 59}},
    {SC::sMaleLift, 4 * 8, {64, 77, 90, 115, 130, 141, 146, 168}},
    {SC::sMalePushInitial, 0, {42, 48, 53, 53, 55, 57, 68}},
    {SC::sMaleCarry, 0, {29, 37, 46, 46, 51, 57, 68}},
};

// Cells that must not grow with their axis (step `stride` between neighbours
// of `count` values): a value above the previous one is reported.
void CheckFalls(const SC::Contents& c, int table, int stride, int count, const char* axis,
                bool fallsAlong, std::vector<std::string>& problems) {
  const std::vector<double>& cells = c.cells[table];
  for (int cell = 0; cell < static_cast<int>(cells.size()); ++cell) {
    if ((cell / stride) % count == 0) continue;
    const double previous = cells[cell - stride], value = cells[cell];
    if (std::isnan(previous) || std::isnan(value)) continue;
    if (fallsAlong ? value > previous : value < previous)
      problems.push_back(std::string(SC::sTableNames[table]) + " cell " + std::to_string(cell) +
                         ": " + (fallsAlong ? "rises" : "falls") + " as the " + axis + " rises (" +
                         std::to_string(previous) + " then " + std::to_string(value) + ")");
  }
}

class SnookCheckCommand : public Subcommand {
 public:
  CLI::App* Add(CLI::App& app) override {
    CLI::App* command = app.add_subcommand(
        "snook-check", "Check a data file of the Snook and Ciriello 1991 tables");
    command->add_option("file", file, "The file (snook-ciriello-1991.csv layout)")
        ->type_name("FILE")
        ->required();
    command->footer(
        "Checks the header, that every row names a table and values on its axes, that\n"
        "no cell is given twice and every cell has a row, the known rows of the paper,\n"
        "and that values do not rise as the frequency rises or as the population\n"
        "percentage, the hand distance, the travel (lift and lower) or the push, pull\n"
        "and carry distance rise. Prints each problem and the count of missing cells;\n"
        "exit status 1 when a problem is found.\n");
    return command;
  }

  void Run() override {
    std::ifstream in(file);
    if (!in) throw Failure(kExitFailure, file + ": cannot be read");
    const SC::Contents c = SC::Read(in);
    std::vector<std::string> problems = c.errors;
    int missing = 0, absent = 0;
    for (int t = 0; t < SC::sTableCount; ++t) {
      for (int i = 0; i < SC::sTableSizes[t]; ++i) {
        missing += std::isnan(c.cells[t][i]);
        absent += !c.present[t][i];
      }
      const bool lift = SC::IsLift(t);
      const int periods = lift ? 8 : 7, percentages = lift ? 5 : 3;
      CheckFalls(c, t, 1, periods, "period", false, problems);
      CheckFalls(c, t, periods, percentages, "percentage", true, problems);
      if (lift) {
        CheckFalls(c, t, periods * 5, 3, "travel D", true, problems);
        CheckFalls(c, t, periods * 5 * 3, 3, "hand distance H", true, problems);
      } else {
        const int heights = SC::IsCarry(t) ? 2 : 3;
        const int distances = SC::IsCarry(t) ? 3 : SC::IsPull(t) ? SC::sPullDistanceCount : 6;
        CheckFalls(c, t, periods * 3 * heights, distances, "distance", true, problems);
      }
    }
    if (absent > 0) problems.push_back(std::to_string(absent) + " cells have no row");
    for (const KnownRow& row : kKnown)
      for (std::size_t i = 0; i < row.values.size(); ++i) {
        const double value = c.cells[row.table][row.first + i];
        if (value != row.values[i])
          problems.push_back(std::string(SC::sTableNames[row.table]) + " cell " +
                             std::to_string(row.first + i) + ": the paper gives " +
                             std::to_string(row.values[i]));
      }
    for (const std::string& problem : problems) std::cout << file << ": " << problem << "\n";
    std::cout << file << ": " << missing << " of 6840 cells missing (NA), " << problems.size()
              << " problems\n";
    if (!problems.empty()) throw Failure(kExitFailure, file + ": not a valid table file");
  }

 private:
  std::string file;
};

}  // namespace

std::unique_ptr<Subcommand> MakeSnookCheckCommand() {
  return std::make_unique<SnookCheckCommand>();
}

}  // namespace mkcli
