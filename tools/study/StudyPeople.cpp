#include "StudyPeople.h"

#include <cmath>
#include <random>

#include "anthro/MKAnthro.h"
#include "anthro/MKAnthroVariable.h"
#include "anthro/MKDBAnthro.h"
#include "anthro/MKDatabaseManager.h"
#include "host/KelUnicodeString.h"

namespace mkstudy {
namespace {

constexpr unsigned int kStature = 100, kWeight = 125;
constexpr double kPi = 3.14159265358979323846;

const MKDBAnthro* Database(const std::string& name) {
  MKDatabaseManager* manager = MKDatabaseManager::GetInstance();
  MKDBAnthro* builtIn = manager->GetDefaultAnthroDB();
  if (name.empty() ||
      (builtIn && name == static_cast<const char*>(builtIn->GetName().ConvertToChar())))
    return builtIn;
  const MKDBAnthro* found = manager->GetAnthroDBFromName(KelUnicodeString(name.c_str()));
  if (!found) throw TaskError("population \"" + name + "\": no such population database");
  return found;
}

// Two independent standard normal numbers; the engine's output is fixed by
// the standard, unlike std::normal_distribution's.
std::pair<double, double> Normals(std::mt19937_64& random) {
  const double scale = 1.0 / 18446744073709551616.0;  // 2^-64
  const double u = (static_cast<double>(random()) + 0.5) * scale;
  const double v = (static_cast<double>(random()) + 0.5) * scale;
  const double radius = std::sqrt(-2.0 * std::log(u));
  return {radius * std::cos(2.0 * kPi * v), radius * std::sin(2.0 * kPi * v)};
}

void Sample(const MKDBAnthro* database, int sex, const Population& population,
            std::vector<MKSubject>& subjects) {
  const MKAnthro anthro(nullptr, database, sex);
  const MKAnthroVariable* stature = anthro.GetVariableFromRefNumber(kStature);
  const MKAnthroVariable* weight = anthro.GetVariableFromRefNumber(kWeight);
  if (!stature || !weight) throw TaskError("the population has no stature or weight");
  const double r = stature->GetCorrelationValue(kWeight);
  std::mt19937_64 random(population.seed * 2 + static_cast<unsigned long long>(sex));
  for (int i = 0; i < population.count; ++i) {
    const auto [a, b] = Normals(random);
    const double s = stature->GetMean() + stature->GetStdDev() * a;
    const double w = weight->GetMean() + weight->GetStdDev() * (r * a + std::sqrt(1 - r * r) * b);
    subjects.emplace_back("sample " + std::to_string(i + 1), sex,
                          std::vector<MKSubject::Measurement>{{kStature, s}, {kWeight, w}});
  }
}

}  // namespace

People FindPeople(const Population& population) {
  People people;
  people.database = Database(population.survey == 2012 ? "US ARMY 2012" : population.database);
  for (int sex : {0, 1}) {
    if (sex == 0 ? !population.women : !population.men) continue;
    if (population.survey == 0) {
      Sample(people.database, sex, population, people.subjects);
      continue;
    }
    MKSurveySubjects survey;
    const MKStatus status = survey.ReadSurvey(population.survey, sex);
    if (status != MKStatusSuccess)
      throw TaskError(MKSurveySubjects::GetSurveyFileName(population.survey, sex) + ": " +
                      (survey.GetProblem().empty()
                           ? "not found in the library's data directory (MKManikinDataPath)"
                           : survey.GetProblem()));
    people.subjects.insert(people.subjects.end(), survey.GetSubjects().begin(),
                           survey.GetSubjects().end());
  }
  return people;
}

}  // namespace mkstudy
