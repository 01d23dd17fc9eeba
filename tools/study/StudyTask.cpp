#include "StudyTask.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

#include "JsonLines.h"

namespace mkstudy {
namespace {

using Json = nlohmann::json;

constexpr int kMostSampled = 100000;
constexpr std::size_t kMostChecks = 32;
// Anything farther from the worker than this (cm) is a mistake of units.
constexpr double kFarthest = 10000.0;

// Reads fields with messages that name the line and the field.
class Reader {
 public:
  Reader(const std::string& text, const std::string& source)
      : lines(JsonValueLines(text)), source(source) {}

  [[noreturn]] void Fail(const std::string& pointer, const std::string& message) const {
    auto found = lines.find(pointer);
    std::string parent = pointer;
    while (found == lines.end() && !parent.empty()) {
      parent = parent.substr(0, parent.rfind('/'));
      found = lines.find(parent);
    }
    const int line = found == lines.end() ? 1 : found->second;
    throw TaskError(source + ":" + std::to_string(line) + ": " + FieldName(pointer) + ": " +
                    message);
  }

  // Refuses fields other than `known`.
  void Only(const Json& object, const std::string& pointer,
            std::initializer_list<const char*> known) const {
    for (const auto& item : object.items()) {
      if (std::none_of(known.begin(), known.end(),
                       [&](const char* k) { return item.key() == k; })) {
        std::string list;
        for (const char* k : known) list += (list.empty() ? "" : ", ") + std::string(k);
        Fail(pointer + "/" + item.key(), "unknown field (known: " + list + ")");
      }
    }
  }

  const Json& Object(const Json& parent, const std::string& pointer, const char* key) const {
    if (!parent.contains(key)) Fail(pointer + "/" + key, "missing");
    const Json& value = parent[key];
    if (!value.is_object()) Fail(pointer + "/" + key, "give an object {...}");
    return value;
  }

  double Number(const Json& parent, const std::string& pointer, const char* key, double low,
                double high, std::optional<double> fallback = std::nullopt) const {
    const std::string at = pointer + "/" + key;
    if (!parent.contains(key)) {
      if (fallback) return *fallback;
      Fail(at, "missing");
    }
    const Json& value = parent[key];
    if (!value.is_number() || !std::isfinite(value.get<double>())) Fail(at, "give a number");
    const double number = value.get<double>();
    if (number < low || number > high)
      Fail(at, "give a number from " + Text(low) + " to " + Text(high));
    return number;
  }

  std::string Word(const Json& parent, const std::string& pointer, const char* key,
                   std::initializer_list<const char*> allowed,
                   std::optional<std::string> fallback = std::nullopt) const {
    const std::string at = pointer + "/" + key;
    if (!parent.contains(key)) {
      if (fallback) return *fallback;
      Fail(at, "missing");
    }
    const Json& value = parent[key];
    std::string list;
    for (const char* a : allowed) list += (list.empty() ? "\"" : ", \"") + std::string(a) + "\"";
    if (value.is_string())
      for (const char* a : allowed)
        if (value.get<std::string>() == a) return a;
    Fail(at, "give one of " + list);
  }

  Point Triple(const Json& parent, const std::string& pointer, const char* key) const {
    const std::string at = pointer + "/" + key;
    if (!parent.contains(key)) Fail(at, "missing");
    const Json& value = parent[key];
    if (!value.is_array() || value.size() != 3) Fail(at, "give three numbers [x, y, z]");
    Point p{};
    for (std::size_t k = 0; k < 3; ++k) {
      if (!value[k].is_number() || !std::isfinite(value[k].get<double>()) ||
          std::fabs(value[k].get<double>()) > kFarthest)
        Fail(at + "/" + std::to_string(k), "give a number within 10000 cm");
      p[k] = value[k].get<double>();
    }
    return p;
  }

 private:
  // "/checks/0/point" as "checks[0].point".
  static std::string FieldName(const std::string& pointer) {
    std::string name;
    std::size_t at = 1;
    while (at <= pointer.size() && !pointer.empty()) {
      const std::size_t next = std::min(pointer.find('/', at), pointer.size());
      const std::string token = pointer.substr(at, next - at);
      const bool index = !token.empty() && std::all_of(token.begin(), token.end(), ::isdigit);
      name += index ? "[" + token + "]" : (name.empty() ? "" : ".") + token;
      at = next + 1;
    }
    return name.empty() ? "task" : name;
  }

  static std::string Text(double v) {
    std::string s = std::to_string(v);
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.') s.pop_back();
    return s;
  }

  std::map<std::string, int> lines;
  std::string source;
};

Population ReadPopulation(const Reader& r, const Json& task) {
  const Json& p = r.Object(task, "", "population");
  r.Only(p, "/population", {"survey", "database", "count", "seed", "sex"});
  Population population;
  const std::string sex = r.Word(p, "/population", "sex", {"female", "male", "both"}, "both");
  population.women = sex != "male";
  population.men = sex != "female";
  if (p.contains("survey")) {
    if (p.contains("database") || p.contains("count") || p.contains("seed"))
      r.Fail("/population/survey", "a survey takes no database, count or seed");
    const double year = r.Number(p, "/population", "survey", 1988, 2012);
    if (year != 1988 && year != 2012) r.Fail("/population/survey", "give 1988 or 2012");
    population.survey = static_cast<int>(year);
    return population;
  }
  if (!p.contains("count")) r.Fail("/population", "give \"survey\", or \"count\" to sample");
  if (p.contains("database")) {
    if (!p["database"].is_string()) r.Fail("/population/database", "give a population's name");
    population.database = p["database"].get<std::string>();
  }
  const double count = r.Number(p, "/population", "count", 1, kMostSampled);
  if (count != std::floor(count)) r.Fail("/population/count", "give a whole number");
  population.count = static_cast<int>(count);
  const double seed = r.Number(p, "/population", "seed", 0, 4294967295.0, 1.0);
  if (seed != std::floor(seed)) r.Fail("/population/seed", "give a whole number");
  population.seed = static_cast<unsigned long long>(seed);
  return population;
}

Placement ReadPlacement(const Reader& r, const Json& task) {
  Placement placement;
  if (!task.contains("posture")) return placement;
  const Json& p = r.Object(task, "", "posture");
  r.Only(p, "/posture", {"type", "position"});
  placement.sitting =
      r.Word(p, "/posture", "type", {"standing", "sitting"}, "standing") == "sitting";
  if (p.contains("position")) {
    const Json& at = p["position"];
    if (!at.is_array() || at.size() != 2 || !at[0].is_number() || !at[1].is_number() ||
        std::fabs(at[0].get<double>()) > kFarthest || std::fabs(at[1].get<double>()) > kFarthest)
      r.Fail("/posture/position", "give the floor point [x, z] in cm");
    placement.x = at[0].get<double>();
    placement.z = at[1].get<double>();
  }
  return placement;
}

Check ReadCheck(const Reader& r, const Json& c, const std::string& at, std::size_t index) {
  if (!c.is_object()) r.Fail(at, "give an object {...}");
  Check check;
  const std::string type = r.Word(c, at, "type", {"reach", "sight", "clearance", "posture"});
  check.name = "check " + std::to_string(index + 1);
  if (c.contains("name")) {
    if (!c["name"].is_string() || c["name"].get<std::string>().empty() ||
        c["name"].get<std::string>().size() > 40 ||
        c["name"].get<std::string>().find_first_of(",\"\n\r") != std::string::npos)
      r.Fail(at + "/name", "give a name of 1 to 40 characters without commas or quotes");
    check.name = c["name"].get<std::string>();
  }
  if (type == "reach") {
    r.Only(c, at, {"type", "name", "hand", "point", "rotation", "within"});
    check.type = CheckType::Reach;
    check.left = r.Word(c, at, "hand", {"right", "left"}, "right") == "left";
    check.point = r.Triple(c, at, "point");
    if (c.contains("rotation")) check.rotation = r.Triple(c, at, "rotation");
    check.within = r.Number(c, at, "within", 0.01, 100.0, 1.0);
  } else if (type == "sight") {
    r.Only(c, at, {"type", "name", "point", "edge", "eye_height"});
    check.type = CheckType::Sight;
    check.byEyeHeight = c.contains("eye_height");
    if (check.byEyeHeight) {
      if (c.contains("point") || c.contains("edge"))
        r.Fail(at + "/eye_height", "give either \"eye_height\" or \"point\" and \"edge\"");
      const Json& range = c["eye_height"];
      if (!range.is_array() || range.size() != 2 || !range[0].is_number() ||
          !range[1].is_number() || range[0].get<double>() > range[1].get<double>())
        r.Fail(at + "/eye_height", "give [lowest, highest] in cm");
      check.eyeLow = range[0].get<double>();
      check.eyeHigh = range[1].get<double>();
    } else {
      check.point = r.Triple(c, at, "point");
      const Json& edge = r.Object(c, at, "edge");
      r.Only(edge, at + "/edge", {"height", "depth"});
      check.edgeHeight = r.Number(edge, at + "/edge", "height", -kFarthest, kFarthest);
      check.edgeDepth = r.Number(edge, at + "/edge", "depth", -kFarthest, kFarthest);
    }
  } else if (type == "clearance") {
    r.Only(c, at, {"type", "name", "body_point", "side", "axis", "stay", "at"});
    check.type = CheckType::Clearance;
    check.bodyPoint = r.Word(c, at, "body_point", {"head-top", "knee", "elbow"});
    check.left = r.Word(c, at, "side", {"right", "left"}, "right") == "left";
    const std::string axis = r.Word(c, at, "axis", {"x", "y", "z"}, "y");
    check.axis = axis[0] - 'x';
    check.below = r.Word(c, at, "stay", {"below", "above"}) == "below";
    check.at = r.Number(c, at, "at", -kFarthest, kFarthest);
  } else {
    r.Only(c, at, {"type", "name", "side", "max_score"});
    check.type = CheckType::Posture;
    check.left = r.Word(c, at, "side", {"right", "left"}, "right") == "left";
    const double score = r.Number(c, at, "max_score", 1, 7);
    if (score != std::floor(score)) r.Fail(at + "/max_score", "give a whole score from 1 to 7");
    check.maxScore = static_cast<int>(score);
  }
  return check;
}

}  // namespace

StudyTask ParseStudyTask(const std::string& json, const std::string& source) {
  Json task;
  try {
    task = Json::parse(json);
  } catch (const Json::parse_error& e) {
    const std::size_t end = std::min<std::size_t>(e.byte == 0 ? 0 : e.byte - 1, json.size());
    const auto line = 1 + std::count(json.begin(), json.begin() + static_cast<long>(end), '\n');
    throw TaskError(source + ":" + std::to_string(line) + ": not valid JSON");
  }
  const Reader r(json, source);
  if (!task.is_object()) r.Fail("", "give an object {...}");
  r.Only(task, "", {"title", "population", "posture", "checks"});
  StudyTask study;
  if (task.contains("title")) {
    if (!task["title"].is_string() || task["title"].get<std::string>().size() > 80)
      r.Fail("/title", "give a text of at most 80 characters");
    study.title = task["title"].get<std::string>();
  }
  study.population = ReadPopulation(r, task);
  study.placement = ReadPlacement(r, task);
  if (!task.contains("checks")) r.Fail("/checks", "missing");
  const Json& checks = task["checks"];
  if (!checks.is_array() || checks.empty() || checks.size() > kMostChecks)
    r.Fail("/checks", "give a list of 1 to 32 checks");
  std::set<std::string> names;
  bool reaches[2] = {false, false};
  for (std::size_t i = 0; i < checks.size(); ++i) {
    const std::string at = "/checks/" + std::to_string(i);
    Check check = ReadCheck(r, checks[i], at, i);
    if (!names.insert(check.name).second) r.Fail(at + "/name", "another check has this name");
    if (check.type == CheckType::Reach) {
      if (reaches[check.left]) r.Fail(at + "/hand", "another check already reaches with this hand");
      reaches[check.left] = true;
    }
    study.checks.push_back(std::move(check));
  }
  return study;
}

}  // namespace mkstudy
