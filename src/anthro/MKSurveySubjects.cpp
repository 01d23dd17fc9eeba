#include "anthro/MKSurveySubjects.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <istream>
#include <utility>

#include "anthro/MKDBAnthro.h"
#include "anthro/MKDBAnthroVariable.h"
#include "anthro/MKDatabaseManager.h"
#include "host/KelDataPath.h"

namespace {

constexpr std::size_t kLongestLine = 4096;
constexpr std::size_t kLongestIdentifier = 32;
constexpr std::size_t kMostSubjects = 100000;
constexpr double kLargestValue = 1000.0;
constexpr const char* kFirstColumn = "SUBJECT_NUMBER";

// One line without its end; false at the end of the stream. A line longer than
// kLongestLine is cut there and `tooLong` set, so that no input grows memory unbounded.
bool ReadLine(std::istream& in, std::string& line, bool& tooLong) {
  line.clear();
  tooLong = false;
  std::streambuf* buffer = in.rdbuf();
  if (!buffer) return false;
  for (;;) {
    const int c = buffer->sbumpc();
    if (c == std::char_traits<char>::eof()) return !line.empty();
    if (c == '\n') return true;
    if (line.size() == kLongestLine) {
      tooLong = true;
      return true;
    }
    line += static_cast<char>(c);
  }
}

std::vector<std::string> Split(const std::string& line) {
  std::vector<std::string> fields(1);
  for (char c : line) {
    if (c == ',')
      fields.emplace_back();
    else
      fields.back() += c;
  }
  return fields;
}

// A value of the file: a plain decimal number in (0, 1000); NaN for an empty field.
bool ParseValue(const std::string& text, double& value) {
  if (text.empty()) {
    value = std::nan("");
    return true;
  }
  const char* end = text.data() + text.size();
  const auto result = std::from_chars(text.data(), end, value, std::chars_format::fixed);
  return result.ec == std::errc() && result.ptr == end && value > 0.0 && value < kLargestValue;
}

bool IsIdentifier(const std::string& text) {
  if (text.empty() || text.size() > kLongestIdentifier) return false;
  for (char c : text)
    if (static_cast<unsigned char>(c) <= ' ' || static_cast<unsigned char>(c) >= 0x7f) return false;
  return true;
}

// The reference numbers of the header's acronyms; empty (with `problem`) when wrong.
std::vector<unsigned int> Columns(const std::vector<std::string>& header, std::string& problem) {
  const MKDBAnthro* builtIn = MKDatabaseManager::GetInstance()->GetDefaultAnthroDB();
  std::vector<unsigned int> columns;
  if (header.size() < 2 || header[0] != kFirstColumn || !builtIn) {
    problem = "line 1: the header must be SUBJECT_NUMBER and acronyms";
    return {};
  }
  for (std::size_t c = 1; c < header.size(); ++c) {
    const MKDBAnthroVariable* variable = builtIn->GetVariable(KelString(header[c].c_str()));
    if (!variable) {
      problem = "line 1: unknown acronym " + header[c];
      return {};
    }
    const unsigned int number = variable->GetReferenceNumber();
    for (unsigned int seen : columns)
      if (seen == number) {
        problem = "line 1: " + header[c] + " given twice";
        return {};
      }
    columns.push_back(number);
  }
  return columns;
}

}  // namespace

std::string MKSurveySubjects::GetSurveyFileName(int year, int sex) {
  if ((year != 1988 && year != 2012) || (sex != 0 && sex != 1)) return {};
  return "subjects/ansur" + std::to_string(year) + (sex == 0 ? "_female.csv" : "_male.csv");
}

MKStatus MKSurveySubjects::ReadSurvey(int year, int sex) {
  const std::string name = GetSurveyFileName(year, sex);
  if (name.empty()) return MKStatusMissingInput;
  const KelUnicodeString found = KelFindDataFile(name.c_str());
  if (found.GetLengthInChar() == 0) return MKStatusMissingInput;
  std::ifstream in(static_cast<const char*>(found.ConvertToChar()), std::ios::binary);
  if (!in) return MKStatusMissingInput;
  return Read(in, sex);
}

MKStatus MKSurveySubjects::Read(std::istream& in, int sex) {
  if (sex != 0 && sex != 1) return MKStatusSexRefused;
  std::vector<MKSubject> read;
  std::vector<unsigned int> columns;
  std::string line, failure;
  std::size_t number = 0;
  bool tooLong = false;
  while (failure.empty() && ReadLine(in, line, tooLong)) {
    const std::string where = "line " + std::to_string(++number) + ": ";
    if (tooLong) {
      failure = where + "longer than 4096 characters";
      break;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::vector<std::string> fields = Split(line);
    if (number == 1) {
      columns = Columns(fields, failure);
      continue;
    }
    if (read.size() == kMostSubjects) {
      failure = where + "more than 100000 subjects";
    } else if (fields.size() != columns.size() + 1) {
      failure = where + std::to_string(fields.size()) + " fields, expected " +
                std::to_string(columns.size() + 1);
    } else if (!IsIdentifier(fields[0])) {
      failure = where + "the subject number must be 1 to 32 printable characters";
    }
    std::vector<MKSubject::Measurement> measured;
    for (std::size_t c = 0; failure.empty() && c < columns.size(); ++c) {
      double value;
      if (!ParseValue(fields[c + 1], value))
        failure =
            where + "column " + std::to_string(c + 2) + " is not a positive number below 1000";
      else if (!std::isnan(value))
        measured.push_back({columns[c], value});
    }
    if (failure.empty()) read.emplace_back(fields[0], sex, std::move(measured));
  }
  if (failure.empty() && number == 0) failure = "line 1: no header";
  if (!failure.empty()) {
    problem = failure;
    return MKStatusStreamContent;
  }
  subjects = std::move(read);
  problem.clear();
  return MKStatusSuccess;
}

const MKSubject* MKSurveySubjects::GetSubjectAtIndex(unsigned int index) const {
  return index < subjects.size() ? &subjects[index] : nullptr;
}
