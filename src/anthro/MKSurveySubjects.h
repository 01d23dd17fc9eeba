#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "anthro/MKSubject.h"
#include "parts/MKStatus.h"

// The recorded subjects of one survey and sex, as the library ships them in
// its data directory (subjects/ansur1988_female.csv, ..._male.csv and the same
// for 2012): a header line "SUBJECT_NUMBER" followed by one acronym of the
// built-in population per column (angle brackets included), then one line per
// subject: an identifier and a value per column (cm, kg for the mass), an
// empty field for a value not measured.
class MKSurveySubjects {
 public:
  // The data file of a survey year (1988 or 2012) and sex; empty for another
  // year or sex.
  static std::string GetSurveyFileName(int year, int sex);

  // Reads the subjects of a survey year and sex from the library's data
  // directory: 9 when there is no such file (or year or sex); else Read's status.
  MKStatus ReadSurvey(int year, int sex);
  // Reads a whole subject file for `sex`. 6 for a sex other than 0 and 1;
  // 100 for malformed content: a missing or wrong header, an acronym unknown
  // to the built-in population or given twice, a line longer than 4096
  // characters, a line without one field per column, an empty or overlong
  // identifier, a value that is not a positive number below 1000, or more
  // than 100000 subjects. The subjects are replaced only when the status is 0;
  // otherwise GetProblem says where the content went wrong.
  MKStatus Read(std::istream& in, int sex);

  unsigned int GetNumberOfSubjects() const { return static_cast<unsigned int>(subjects.size()); }
  // 0-based; null at or beyond the count.
  const MKSubject* GetSubjectAtIndex(unsigned int index) const;
  const std::vector<MKSubject>& GetSubjects() const { return subjects; }
  // "line N: what", for the last Read that failed; empty otherwise.
  const std::string& GetProblem() const { return problem; }

 private:
  std::vector<MKSubject> subjects;
  std::string problem;
};
