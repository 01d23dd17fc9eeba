#pragma once

// Helpers of the anthropometry tests: the source tables kept in the project,
// read as small CSV tables.

#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace mkanthrotest {

// A file of the project, from this folder's location in the source tree.
inline std::string SourcePath(const std::string& relative) {
  std::string here = __FILE__;
  here.erase(here.find_last_of('/') + 1);
  return here + relative;
}

// A CSV file without quoting: the header, then the rows as strings.
struct Table {
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;

  int Column(const std::string& name) const {
    for (std::size_t i = 0; i < header.size(); ++i)
      if (header[i] == name) return static_cast<int>(i);
    return -1;
  }
};

inline std::vector<std::string> SplitCSV(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, ',')) fields.push_back(field);
  if (!line.empty() && line.back() == ',') fields.emplace_back();
  return fields;
}

inline Table ReadTable(const std::string& path) {
  Table table;
  std::ifstream in(path);
  std::string line;
  if (std::getline(in, line)) table.header = SplitCSV(line);
  while (std::getline(in, line))
    if (!line.empty()) table.rows.push_back(SplitCSV(line));
  return table;
}

}  // namespace mkanthrotest
