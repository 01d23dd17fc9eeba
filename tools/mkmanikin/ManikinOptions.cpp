#include "ManikinOptions.h"

#include <CLI/CLI.hpp>

#include <cctype>
#include <map>

#include "Failure.h"
#include "Numbers.h"

namespace mkcli {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::string PercentileProblem(const std::string& text) {
  double p = 0.0;
  if (!ParseNumber(text, p)) return "'" + text + "' is not a number";
  if (!(p > 0.0 && p < 100.0))
    return text + " is not a percentile: give a number strictly between 0 and 100";
  return {};
}

// Splits "ACRONYM=NUMBER"; the problem with it, or empty.
std::string AssignmentProblem(const std::string& text, bool percentile, std::string* acronym,
                              double* number) {
  const std::string form = percentile ? "ACRONYM=PERCENTILE" : "ACRONYM=VALUE";
  const std::size_t equals = text.find('=');
  if (equals == std::string::npos || equals == 0)
    return "'" + text + "' is not of the form " + form + " (for example " +
           (percentile ? "STATURE=90" : "STATURE=180") + ")";
  const std::string name = text.substr(0, equals), value = text.substr(equals + 1);
  double parsed = 0.0;
  if (percentile) {
    const std::string problem = PercentileProblem(value);
    if (!problem.empty()) return text + ": " + problem;
    ParseNumber(value, parsed);
  } else {
    if (!ParseNumber(value, parsed)) return text + ": '" + value + "' is not a number";
    if (!(parsed > 0.0)) return text + ": a body dimension is a positive number";
  }
  if (acronym) *acronym = BareAcronym(name);
  if (number) *number = parsed;
  return {};
}

CLI::Validator Assignment(bool percentile) {
  return CLI::Validator(
      [percentile](std::string& text) {
        return AssignmentProblem(text, percentile, nullptr, nullptr);
      },
      "", percentile ? "ACRONYM=PERCENTILE" : "ACRONYM=VALUE");
}

}  // namespace

void ManikinOptions::AddTo(CLI::App& command) {
  command.add_option("--sex", sex, "Sex of the manikin")
      ->required()
      ->type_name("female|male")
      ->check(CLI::Validator(
          [](std::string& text) -> std::string {
            const std::string key = Lower(text);
            if (key == "female" || key == "f")
              text = "female";
            else if (key == "male" || key == "m")
              text = "male";
            else
              return "'" + text + "' is not a sex: give female or male";
            return {};
          },
          "", "SEX"));
  command
      .add_option("--percentile", percentile, "Stature and weight at this percentile (0 < P < 100)")
      ->type_name("P")
      ->default_str("50")
      ->check(CLI::Validator([](std::string& text) { return PercentileProblem(text); }, "", "P"));
  command
      .add_option("--population", population,
                  "Population: a name (\"US NATICK\", the default, or \"US ARMY 2012\") or a "
                  "CSV file ('mkmanikin population --help' describes it)")
      ->type_name("NAME|FILE");
  command
      .add_option("--fix", fixes,
                  "Fix dimensions at values in cm (kg for WEIGHT), e.g. STATURE=180")
      ->type_name("ACRONYM=VALUE")
      ->check(Assignment(false));
  command
      .add_option("--fix-percentile", fixPercentiles, "Fix dimensions at percentiles, e.g. SPAN=90")
      ->type_name("ACRONYM=P")
      ->check(Assignment(true));
  command
      .add_option("--accommodation", accommodation,
                  "Keep fixed values within the range that holds PCT % of the population")
      ->type_name("PCT")
      ->check(CLI::Validator(
          [](std::string& text) -> std::string {
            double p = 0.0;
            if (!ParseNumber(text, p)) return "'" + text + "' is not a number";
            if (!(p > 0.0 && p <= 100.0))
              return text +
                     " is not a percentage of the population: give a number above 0 and "
                     "at most 100";
            return {};
          },
          "", "PCT"));
}

ManikinSpec ManikinOptions::Spec() const {
  ManikinSpec spec;
  spec.sex = sex == "female" ? 0 : 1;
  spec.percentile = percentile;
  spec.population = population;
  spec.accommodation = accommodation;
  std::map<std::string, std::string> seen;
  for (bool isPercentile : {false, true}) {
    const std::string option = isPercentile ? "--fix-percentile" : "--fix";
    for (const std::string& text : isPercentile ? fixPercentiles : fixes) {
      FixRequest request{option, text, {}, 0.0, isPercentile};
      const std::string problem =
          AssignmentProblem(text, isPercentile, &request.acronym, &request.number);
      if (!problem.empty()) throw UsageError(option + ": " + problem);
      const auto [earlier, fresh] = seen.emplace(request.acronym, option + " " + text);
      if (!fresh)
        throw UsageError(option + " " + text + ": " + request.acronym + " is already fixed by " +
                         earlier->second);
      spec.fixes.push_back(request);
    }
  }
  return spec;
}

std::string BareAcronym(std::string text) {
  if (text.size() >= 2 && text.front() == '<' && text.back() == '>')
    text = text.substr(1, text.size() - 2);
  return Upper(text);
}

std::string ManikinOptionsHelp() {
  return "The manikin: --percentile fixes stature and weight at that percentile of the\n"
         "population (at 50 every dimension is predicted at its mean); --fix and\n"
         "--fix-percentile fix more dimensions, named by their acronyms (STATURE, WEIGHT,\n"
         "SPAN, SITTHGHT...; 'mkmanikin create --sex male' lists them all); every other\n"
         "dimension is predicted from the fixed ones. Values outside the accommodated\n"
         "range (4 standard deviations unless --accommodation is given) are brought to\n"
         "its edge, with a warning.\n";
}

}  // namespace mkcli
