#include "ManikinBuilder.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <fstream>

#include "Failure.h"
#include "Numbers.h"
#include "UserPopulation.h"
#include "anthro/MKAnthro.h"
#include "anthro/MKAnthroVariable.h"
#include "anthro/MKDBAnthro.h"
#include "anthro/MKDatabaseManager.h"
#include "manikin/MKManikin.h"
#include "math/MKMathRoutines.h"
#include "parts/MKStatus.h"

namespace mkcli {
namespace {

std::size_t EditDistance(const std::string& a, const std::string& b) {
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
      diagonal = above;
    }
  }
  return row[b.size()];
}

// The acronyms of the population closest to a mistyped one.
std::string Suggestion(const MKDBAnthro& population, const std::string& acronym) {
  std::size_t best = 3;  // farther than this is no help
  std::vector<std::string> names;
  for (unsigned int i = 0; i < population.GetNumberOfVariables(); ++i) {
    const std::string name =
        BareAcronym(population.GetVariableAtIndex(i)->GetAcronym().CastToCharPtr());
    const std::size_t distance = EditDistance(acronym, name);
    if (distance < best) {
      best = distance;
      names.clear();
    }
    if (distance == best) names.push_back(name);
  }
  if (names.empty()) return {};
  std::string text = " (did you mean ";
  for (std::size_t i = 0; i < names.size(); ++i)
    text += (i == 0 ? "" : i + 1 == names.size() ? " or " : ", ") + names[i];
  return text + "?)";
}

// A population name reduced to its letters and digits, in lower case.
std::string Key(const std::string& name) {
  std::string key;
  for (char c : name)
    if (std::isalnum(static_cast<unsigned char>(c)))
      key += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return key;
}

std::string Unit(const MKAnthroVariable& variable) {
  return variable.IsAMass() ? "kg" : "cm";
}

// Whether the library kept a request, within the rounding of its tables.
bool Kept(double wanted, double got) {
  return std::fabs(wanted - got) <= 1e-6 * std::max(1.0, std::fabs(wanted));
}

}  // namespace

void ManikinDeleter::operator()(MKManikin* manikin) const {
  if (manikin) manikin->Destroy();
}

MKDBAnthro& FindPopulation(const std::string& name) {
  MKDatabaseManager* manager = MKDatabaseManager::GetInstance();
  MKDBAnthro* builtIn = manager->GetDefaultAnthroDB();
  if (name.empty()) return *builtIn;
  std::vector<KelUnicodeString> known = {builtIn->GetName()};
  for (unsigned int i = 0; MKDatabaseManager::GetShippedAnthroDBName(i).GetLengthInChar() > 0; ++i)
    known.push_back(MKDatabaseManager::GetShippedAnthroDBName(i));
  std::string names;
  for (const KelUnicodeString& candidate : known) {
    const std::string text = candidate.ConvertToChar().CastToCharPtr();
    names += (names.empty() ? "\"" : ", \"") + text + "\"";
    if (Key(name) != Key(text)) continue;
    if (MKDBAnthro* found = manager->GetAnthroDBFromName(candidate)) return *found;
    throw Failure(kExitFailure, "--population: the data file of \"" + text +
                                    "\" was not found or not readable in the library's data "
                                    "directory (MKManikinDataPath)");
  }
  if (std::ifstream(name).good()) return ReadPopulationFile(name);
  throw UsageError("--population: '" + name + "' is no known population (" + names +
                   ") and no readable file");
}

ManikinPtr BuildManikin(const ManikinSpec& spec, std::vector<std::string>& warnings) {
  MKDBAnthro& population = FindPopulation(spec.population);
  for (const FixRequest& fix : spec.fixes)
    if (!population.GetVariable(KelString(("<" + fix.acronym + ">").c_str())))
      throw UsageError(fix.option + " " + fix.text + ": unknown dimension " + fix.acronym +
                       Suggestion(population, fix.acronym) +
                       "; 'mkmanikin create --sex female' lists them all");

  MKManikin* created = nullptr;
  const MKStatus status = MKManikin::Create(created, spec.sex, spec.percentile, &population, 1, 1);
  ManikinPtr manikin(created);
  if (status != MKStatusSuccess || !manikin) {
    std::string hint;
    if (status == MKStatusStreamContent)
      hint = "; the skin file of the " + SexName(spec.sex) +
             " head was not found or not readable (it is looked for in the directories of "
             "KelGraphicPath, else in the library's data directory, MKManikinDataPath)";
    throw Failure(kExitFailure, "the library could not create the manikin: " +
                                    StatusText(status.GetCode()) + hint);
  }
  MKAnthro* anthro = manikin->GetAnthro();

  if (spec.accommodation) {
    const MKStatus set = anthro->SetPopulationAccommodation(*spec.accommodation);
    if (set != MKStatusSuccess)
      throw Failure(kExitFailure, "--accommodation: the library refused " +
                                      ShortestText(*spec.accommodation) + ": " +
                                      StatusText(set.GetCode()));
  }
  for (const FixRequest& fix : spec.fixes) {
    MKAnthroVariable* variable = anthro->GetVariable(KelString(("<" + fix.acronym + ">").c_str()));
    const MKStatus set = fix.isPercentile ? variable->SetUserValueFromPercentile(fix.number)
                                          : variable->SetUserValue(fix.number);
    // A value the bounds changed answers 5; that is checked below with the others.
    if (set != MKStatusSuccess && set != MKStatusValueRefused)
      throw Failure(kExitFailure, fix.option + " " + fix.text +
                                      ": the library refused it: " + StatusText(set.GetCode()));
  }
  if (spec.accommodation || !spec.fixes.empty()) {
    const MKStatus updated = anthro->Update();
    if (updated != MKStatusSuccess)
      throw Failure(kExitFailure,
                    "the library could not predict the other dimensions from the "
                    "fixed ones: " +
                        StatusText(updated.GetCode()));
  }

  // What was asked and what the library kept.
  std::vector<FixRequest> asked = spec.fixes;
  if (spec.percentile != 50.0)
    for (const char* acronym : {"STATURE", "WEIGHT"})
      if (std::none_of(asked.begin(), asked.end(),
                       [acronym](const FixRequest& f) { return f.acronym == acronym; }))
        asked.push_back(
            {"--percentile", ShortestText(spec.percentile), acronym, spec.percentile, true});
  for (const FixRequest& fix : asked) {
    const MKAnthroVariable* variable =
        anthro->GetVariable(KelString(("<" + fix.acronym + ">").c_str()));
    const double wanted = fix.isPercentile
                              ? MKMathRoutines::GaussianValueFromPercentile(
                                    variable->GetMean(), variable->GetStdDev(), fix.number)
                              : fix.number;
    if (Kept(wanted, variable->GetValue())) continue;
    warnings.push_back(fix.option + " " + fix.text + ": " + fix.acronym + " kept at " +
                       FixedText(variable->GetValue(), 2) + " " + Unit(*variable) +
                       " (percentile " + FixedText(variable->GetValueAsPercentile(), 1) +
                       ") instead of " + FixedText(wanted, 2) + " " + Unit(*variable) +
                       ": the library keeps fixed values within the accommodated range "
                       "around their prediction");
  }
  return manikin;
}

std::string Ordinal(double percentile) {
  const std::string number = ShortestText(percentile);
  const double whole = std::floor(percentile);
  if (whole != percentile) return number + "th";
  const long n = static_cast<long>(whole);
  if (n % 100 >= 11 && n % 100 <= 13) return number + "th";
  switch (n % 10) {
    case 1:
      return number + "st";
    case 2:
      return number + "nd";
    case 3:
      return number + "rd";
    default:
      return number + "th";
  }
}

std::string SexName(int sex) {
  return sex == 0 ? "female" : "male";
}

std::string StatusText(int code) {
  const std::string message =
      MKStatus(code).GetUnicodeStatusMessage().ConvertToChar().CastToCharPtr();
  // The catalogue answers "@key" for a code it does not know.
  if (message.empty() || message[0] == '@') return "status " + std::to_string(code);
  return message + " (status " + std::to_string(code) + ")";
}

}  // namespace mkcli
