// Subject records of the surveys: hostile files refused whole, and a
// subject's manikin fixed at every measured value and standing at its
// measured stature.
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>
#include <sstream>
#include <string>

#include "anthro/MKAnthro.h"
#include "anthro/MKAnthroVariable.h"
#include "anthro/MKDatabaseManager.h"
#include "anthro/MKSurveySubjects.h"
#include "body/MKBody.h"
#include "body/MKSegment.h"
#include "manikin/MKManikin.h"
#include "manikin/MKManikinTestSupport.h"

namespace {

constexpr unsigned int kStature = 100;

MKStatus ReadText(MKSurveySubjects& subjects, const std::string& text) {
  std::istringstream in(text);
  return subjects.Read(in, 0);
}

}  // namespace

TEST(MKSurveySubjectsTest, ShippedSurveysHoldEveryRecordedSubject) {
  const int counts[2][2] = {{2208, 1774}, {1986, 4082}};
  // People with a measured value beyond 4 standard deviations of their population.
  const int outside[2][2] = {{25, 14}, {15, 28}};
  const unsigned int columns[2] = {84, 54};
  for (int s = 0; s < 2; ++s)
    for (int sex = 0; sex < 2; ++sex) {
      MKSurveySubjects subjects;
      ASSERT_EQ(subjects.ReadSurvey(s == 0 ? 1988 : 2012, sex), MKStatusSuccess)
          << subjects.GetProblem();
      ASSERT_EQ(subjects.GetNumberOfSubjects(), static_cast<unsigned int>(counts[s][sex]));
      const MKDBAnthro* database = s == 0 ? MKDatabaseManager::GetInstance()->GetDefaultAnthroDB()
                                          : MKDatabaseManager::GetInstance()->GetAnthroDBFromName(
                                                KelUnicodeString("US ARMY 2012"));
      const MKAnthro anthro(nullptr, database, sex);
      unsigned int most = 0;
      int beyond = 0;
      for (const MKSubject& subject : subjects.GetSubjects()) {
        beyond += !subject.IsWithinBounds(anthro);
        EXPECT_EQ(subject.GetSex(), sex);
        most = std::max(most, static_cast<unsigned int>(subject.GetMeasurements().size()));
        EXPECT_GT(subject.GetMeasuredValue(kStature), 140.0);
      }
      EXPECT_EQ(most, columns[s]);
      EXPECT_EQ(beyond, outside[s][sex]);
    }
  MKSurveySubjects none;
  EXPECT_EQ(none.ReadSurvey(2000, 0), MKStatusMissingInput);
  EXPECT_EQ(none.ReadSurvey(1988, 2), MKStatusMissingInput);
}

// Every damaged variant of a good file is refused with 100 and leaves the
// subjects read before; random byte changes never crash the reader.
TEST(MKSurveySubjectsTest, MalformedFilesAreRefusedWhole) {
  const std::string good = "SUBJECT_NUMBER,<STATURE>,<WEIGHT>\n7,160.2,55.0\n8,,61.5\r\n";
  MKSurveySubjects subjects;
  ASSERT_EQ(ReadText(subjects, good), MKStatusSuccess);
  ASSERT_EQ(subjects.GetNumberOfSubjects(), 2u);
  EXPECT_EQ(subjects.GetSubjectAtIndex(1)->GetMeasurements().size(), 1u);
  EXPECT_TRUE(std::isnan(subjects.GetSubjectAtIndex(1)->GetMeasuredValue(kStature)));
  EXPECT_EQ(subjects.GetSubjectAtIndex(2), nullptr);

  const std::string bad[] = {
      "",
      "SUBJECT,<STATURE>\n1,160\n",
      "SUBJECT_NUMBER,<NOSUCH>\n1,160\n",
      "SUBJECT_NUMBER,<STATURE>,<STATURE>\n1,160,160\n",
      "SUBJECT_NUMBER,<STATURE>\n1,160,3\n",
      "SUBJECT_NUMBER,<STATURE>\n1\n",
      "SUBJECT_NUMBER,<STATURE>\n,160\n",
      "SUBJECT_NUMBER,<STATURE>\n1,-160\n",
      "SUBJECT_NUMBER,<STATURE>\n1,0\n",
      "SUBJECT_NUMBER,<STATURE>\n1,1e3\n",
      "SUBJECT_NUMBER,<STATURE>\n1,160x\n",
      "SUBJECT_NUMBER,<STATURE>\n1,nan\n",
      "SUBJECT_NUMBER,<STATURE>\n1,1600\n",
      "SUBJECT_NUMBER,<STATURE>\n1,160\n\n2,150\n",
      "SUBJECT_NUMBER,<STATURE>\n1,160\n" + std::string(5000, '9') + "\n",
  };
  for (const std::string& text : bad) {
    EXPECT_EQ(ReadText(subjects, text), MKStatusStreamContent) << text.substr(0, 80);
    EXPECT_FALSE(subjects.GetProblem().empty());
    EXPECT_EQ(subjects.GetNumberOfSubjects(), 2u);
  }
  std::istringstream in(good);
  EXPECT_EQ(subjects.Read(in, 2), MKStatusSexRefused);

  std::mt19937 random(18);
  for (int trial = 0; trial < 2000; ++trial) {
    std::string text = good;
    for (int k = 0; k < 3; ++k) text[random() % text.size()] = static_cast<char>(random() % 256);
    MKSurveySubjects fresh;
    const MKStatus status = ReadText(fresh, text);
    EXPECT_TRUE(status == MKStatusSuccess || status == MKStatusStreamContent);
    if (status != MKStatusSuccess) {
      EXPECT_EQ(fresh.GetNumberOfSubjects(), 0u);
    }
  }
}

// A fixed-seed sample of each survey and sex (a whole population takes too
// long for a unit test; mkmanikin study runs them all): the anthropometry
// keeps every measured value exactly, and the built body of a subject within
// the bounds stands at the measured stature.
TEST(MKSurveySubjectsTest, SubjectManikinsKeepTheirMeasuresAndStature) {
  constexpr int kPerFile = 12;
  std::mt19937 random(1988);
  for (int year : {1988, 2012}) {
    const MKDBAnthro* database = year == 1988
                                     ? MKDatabaseManager::GetInstance()->GetDefaultAnthroDB()
                                     : MKDatabaseManager::GetInstance()->GetAnthroDBFromName(
                                           KelUnicodeString("US ARMY 2012"));
    ASSERT_NE(database, nullptr);
    for (int sex : {0, 1}) {
      MKSurveySubjects subjects;
      ASSERT_EQ(subjects.ReadSurvey(year, sex), MKStatusSuccess);
      MKManikin* created = nullptr;
      ASSERT_EQ(MKManikin::Create(created, sex, 50.0, database, 1, 1), MKStatusSuccess);
      mktest::Manikin manikin(created);
      MKAnthro& anthro = *manikin->GetAnthro();
      // The sample, and the first person outside the bounds, who is made as measured too.
      std::vector<const MKSubject*> chosen;
      for (int k = 0; k < kPerFile; ++k)
        chosen.push_back(subjects.GetSubjectAtIndex(random() % subjects.GetNumberOfSubjects()));
      for (const MKSubject& subject : subjects.GetSubjects())
        if (!subject.IsWithinBounds(anthro)) {
          chosen.push_back(&subject);
          break;
        }
      for (const MKSubject* each : chosen) {
        const MKSubject& subject = *each;
        SCOPED_TRACE(std::to_string(year) + " " + subject.GetIdentifier());
        ASSERT_EQ(subject.ApplyTo(anthro), MKStatusSuccess);
        unsigned int fixed = 0;
        for (unsigned int i = 0; i < anthro.GetNumberOfVariables(); ++i)
          fixed += anthro.GetVariableAtIndex(i)->GetManagementType() == 1;
        EXPECT_EQ(fixed, subject.GetMeasurements().size());
        for (const MKSubject::Measurement& m : subject.GetMeasurements())
          EXPECT_EQ(anthro.GetVariableFromRefNumber(m.referenceNumber)->GetValue(), m.value);
        for (unsigned int i = 0; i < anthro.GetNumberOfVariables(); ++i)
          EXPECT_GT(anthro.GetVariableAtIndex(i)->GetValue(), 0.0);
        if (!subject.IsWithinBounds(anthro)) continue;
        ASSERT_EQ(manikin->BuildManikin(sex), MKStatusSuccess);
        EXPECT_NEAR(mktest::BuiltStature(*manikin), subject.GetMeasuredValue(kStature), 0.5);
      }
    }
  }
}
