// Prints the library's version and checks a few of its foundations end to
// end: records written and read back, short names, the normal tables and the
// message catalogue. Exit code 0 when every check holds.
#include <cmath>
#include <cstdio>

#include "mkmanikin.h"

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
  std::printf("  %-58s %s\n", what, ok ? "ok" : "FAILED");
  if (!ok) ++failures;
}

}  // namespace

int main() {
  std::printf("libMKManikin %s\n", MKMANIKIN_VERSION_STRING);

  MKManikinPart* posture = MKManikinPart::Create(MKPartPostureID);
  MKMemo memo;
  memo.SetText("Seated at the workstation");
  posture->PasteFrom(&memo, 1);
  KelStreamDefinition stream;
  posture->Write(stream);
  MKManikinPart* copy = nullptr;
  const MKStatus read = MKManikinPart::ReadFromStream(stream, copy);
  Check(read == MKStatusSuccess && copy && copy->GetSize() == posture->GetSize(),
        "posture with a memo written and read back");
  if (copy) copy->Destroy();
  posture->Destroy();

  Check(MKConvertStringToShortName("SBoL5") == 4 &&
            KelString(MKConvertShortNameToString(MLHeEye)) == "MLHeEye",
        "short names both ways");
  Check(std::fabs(MKMathRoutines::GaussInv(0, 1, 0.975) - 1.96) < 0.01,
        "97.5th percentile of the standard normal is 1.96");
  const KelString message =
      MKStatus(MKStatusNothingToPaste).GetUnicodeStatusMessage().ConvertToChar();
  Check(message.Length() > 0 && message.CastToCharPtr()[0] != '@', "message catalogue found");
  std::printf("  status 600 reads: %s\n", message.CastToCharPtr());

  MKBody body(nullptr, 1, 0);
  std::printf("  body: %u segments, %u degrees of freedom, skin files %s\n",
              body.GetNumberOfSegments(), body.GetNumberOfDOFs(),
              MKBody::sNbHierarchies[1] > 0 ? "read" : "MISSING");
  Check(body.GetNumberOfSegments() == 99 && body.GetNumberOfDOFs() == 131,
        "body skeleton of 99 segments and 131 visible DOFs");
  Check(MKBody::sNbHierarchies[1] > 0, "male head base mesh read from the skin file");
  MKDOF* elbow = body.GetSegment(RSArFAr)->GetDOF(0);
  elbow->SetMathematicalValue(MKUnitConversions::DegreesToRadians(200));
  Check(std::fabs(MKUnitConversions::RadiansToDegrees(elbow->GetMathematicalValue()) -
                  elbow->GetMaxMean()) < 1e-9,
        "elbow flexion stops at its joint limit");

  MKManikin* manikin = nullptr;
  const MKStatus created = MKManikin::Create(manikin, 1, 50, nullptr, 1, 1);
  Check(created == MKStatusSuccess && manikin, "50th-percentile male created");
  if (manikin) {
    MKBody* built = manikin->GetBody();
    double top = -1e9, floor = 1e9;
    for (unsigned int i = 0; i < built->GetNumberOfSegments(); ++i) {
      const double y = built->GetSegmentAtIndex(i)->GetEndPosition()(1);
      top = std::fmax(top, y);
      floor = std::fmin(floor, y);
    }
    const double stature = manikin->GetAnthroValue(100);
    std::printf("  stature %.1f cm, weight %.1f kg, built body %.1f cm tall\n", stature,
                manikin->GetAnthroValue(125), top - floor);
    Check(std::fabs(top - floor - stature) < 0.02 * stature, "built body as tall as its stature");
    manikin->Destroy();
  }

  std::printf("%s\n", failures == 0 ? "self-check passed" : "self-check FAILED");
  return failures == 0 ? 0 : 1;
}
