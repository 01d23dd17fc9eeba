#include "UserPopulation.h"

#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <vector>

#include "Failure.h"
#include "ManikinOptions.h"
#include "Numbers.h"
#include "anthro/MKDBAnthroVariable.h"
#include "anthro/MKDatabaseManager.h"
#include "anthro/MKUserDBAnthro.h"
#include "host/KelString.h"

namespace mkcli {
namespace {

struct Statistics {
  double mean[2], sd[2];
  bool given[2] = {false, false};
};

struct Coefficients {
  double value[2];
  bool given[2] = {false, false};
};

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::string field;
  std::istringstream in(line);
  while (std::getline(in, field, ',')) {
    const auto first = field.find_first_not_of(" \t");
    const auto last = field.find_last_not_of(" \t\r");
    fields.push_back(first == std::string::npos ? "" : field.substr(first, last - first + 1));
  }
  if (!line.empty() && line.back() == ',') fields.emplace_back();
  return fields;
}

std::string StemOf(const std::string& path) {
  std::string stem = path.substr(path.find_last_of('/') + 1);
  const auto dot = stem.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? stem : stem.substr(0, dot);
}

std::string Bracketed(const std::string& acronym) {
  return "<" + BareAcronym(acronym) + ">";
}

// The databases read, alive until the program ends.
std::vector<std::unique_ptr<MKUserDBAnthro, void (*)(MKUserDBAnthro*)>>& Kept() {
  static std::vector<std::unique_ptr<MKUserDBAnthro, void (*)(MKUserDBAnthro*)>> kept;
  return kept;
}

}  // namespace

MKDBAnthro& ReadPopulationFile(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw UsageError("--population: cannot read the file '" + path + "'");
  const auto problem = [&path](int line, const std::string& what) {
    return UsageError("--population: " + path + ":" + std::to_string(line) + ": " + what);
  };
  const MKDBAnthro* builtIn = MKDatabaseManager::GetInstance()->GetDefaultAnthroDB();
  std::map<std::string, Statistics> dimensions;  // by bracketed acronym, in file order below
  std::vector<std::string> order;
  std::map<std::pair<std::string, std::string>, Coefficients> correlations;
  std::string line;
  int number = 0;
  bool header = false;
  while (std::getline(in, line)) {
    ++number;
    const std::vector<std::string> fields = Fields(line);
    if (fields.empty() || fields[0].empty() || fields[0][0] == '#') continue;
    if (!header) {
      if (fields != std::vector<std::string>{"acronym", "sex", "mean", "sd"})
        throw problem(number, "the first line must be 'acronym,sex,mean,sd'");
      header = true;
      continue;
    }
    const bool correlation = fields[0].find('/') != std::string::npos;
    if (fields.size() != (correlation ? 3u : 4u))
      throw problem(number, correlation ? "a correlation row has 3 fields: A/B,sex,coefficient"
                                        : "a dimension row has 4 fields: acronym,sex,mean,sd");
    if (fields[1] != "female" && fields[1] != "male")
      throw problem(number, "the sex is 'female' or 'male', not '" + fields[1] + "'");
    const int sex = fields[1] == "male" ? 1 : 0;
    double values[2] = {0.0, 0.0};
    for (std::size_t i = 2; i < fields.size(); ++i)
      if (!ParseNumber(fields[i], values[i - 2]))
        throw problem(number, "'" + fields[i] + "' is not a number");
    if (correlation) {
      const std::string text = fields[0];
      std::string a = Bracketed(text.substr(0, text.find('/')));
      std::string b = Bracketed(text.substr(text.find('/') + 1));
      if (!dimensions.count(a) || !dimensions.count(b) || a == b)
        throw problem(number, "a correlation joins two different dimensions given above");
      if (!(values[0] >= -1.0 && values[0] <= 1.0))
        throw problem(number, "a coefficient lies between -1 and 1");
      if (builtIn->GetVariable(KelString(a.c_str()))->GetReferenceNumber() >
          builtIn->GetVariable(KelString(b.c_str()))->GetReferenceNumber())
        std::swap(a, b);
      Coefficients& pair = correlations[{a, b}];
      if (pair.given[sex])
        throw problem(number, text + " is given twice for the " + fields[1] + "s");
      pair.value[sex] = values[0];
      pair.given[sex] = true;
      continue;
    }
    const std::string acronym = Bracketed(fields[0]);
    if (!builtIn->GetVariable(KelString(acronym.c_str())))
      throw problem(number, "unknown dimension " + BareAcronym(fields[0]));
    if (!(values[0] > 0.0 && values[1] >= 0.0))
      throw problem(number, "the mean must be above 0 and the standard deviation not below 0");
    Statistics& statistics = dimensions[acronym];
    if (statistics.given[sex])
      throw problem(number, BareAcronym(fields[0]) + " is given twice for the " + fields[1] + "s");
    if (!statistics.given[0] && !statistics.given[1]) order.push_back(acronym);
    statistics.mean[sex] = values[0];
    statistics.sd[sex] = values[1];
    statistics.given[sex] = true;
  }
  if (!header) throw problem(number, "no header line 'acronym,sex,mean,sd'");
  if (order.empty()) throw problem(number, "no dimension is given");

  std::unique_ptr<MKUserDBAnthro, void (*)(MKUserDBAnthro*)> db(
      MKUserDBAnthro::Create(KelUnicodeString(StemOf(path).c_str())),
      [](MKUserDBAnthro* d) { d->Destroy(); });
  for (const std::string& acronym : order) {
    const Statistics& s = dimensions[acronym];
    if (!s.given[0] || !s.given[1])
      throw UsageError("--population: " + path + ": " + BareAcronym(acronym) +
                       " needs a row for each sex");
    db->SetVariable(acronym.c_str(), s.mean[1], s.mean[0], s.sd[1], s.sd[0]);
  }
  for (const auto& [pair, c] : correlations) {
    const MKDBAnthroVariable* lower = builtIn->GetVariable(KelString(pair.first.c_str()));
    const unsigned int higher =
        builtIn->GetVariable(KelString(pair.second.c_str()))->GetReferenceNumber();
    const double value0 = c.given[0] ? c.value[0] : lower->GetCorrelationValue(higher, 0);
    const double value1 = c.given[1] ? c.value[1] : lower->GetCorrelationValue(higher, 1);
    db->AddUserCorrelation(lower->GetReferenceNumber(), higher, value0, value1);
  }
  db->Update();
  Kept().push_back(std::move(db));
  return *Kept().back();
}

}  // namespace mkcli
