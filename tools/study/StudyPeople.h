#pragma once

#include <vector>

#include "StudyTask.h"
#include "anthro/MKSubject.h"
#include "anthro/MKSurveySubjects.h"

class MKDBAnthro;

namespace mkstudy {

// The people of a study and the population database their manikins use.
struct People {
  const MKDBAnthro* database = nullptr;
  std::vector<MKSubject> subjects;  // women first, then men
};

// The recorded subjects of a survey (the 1988 ones on the built-in
// population, the 2012 ones on "US ARMY 2012"), or `count` people per sex
// sampled from a database: stature and weight drawn from the population's
// bivariate normal distribution (a 64-bit Mersenne twister seeded with the
// task's seed, Box-Muller), every other dimension predicted. Throws a
// TaskError when the database or the subject files cannot be had.
People FindPeople(const Population& population);

}  // namespace mkstudy
