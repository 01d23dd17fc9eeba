// Writes the seed corpora of the fuzz targets into the folder given (one
// sub-folder per target): every part a created manikin gives, a vision
// looking at a point, the whole manikin, a library file holding the manikin
// and the listable parts, user databases, and the library's own skin files,
// message catalogue and shipped population, copied from the data folder
// given second.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "anthro/MKUserDBAnthro.h"
#include "anthro/MKUserDBJointLimits.h"
#include "body/MKBody.h"
#include "body/MKDOF.h"
#include "body/MKSegment.h"
#include "host/KelStreamDefinition.h"
#include "manikin/MKManikin.h"
#include "parts/MKManikinPart.h"
#include "parts/MKMemo.h"
#include "vision/MKVision.h"
#include "vision/MKVisualLimitsVariable.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kSmallSkin =
    "#START\n"
    "2\n"
    "6\n"
    "0 -1 -1 1 3 -1 -1 -1 -1\n"
    "1 -1 -1 -1 -1 -1 -1 0 1\n"
    "0 0 1 4 3\n"
    "1 1 2 5 4\n"
    "# vertex 0\n"
    "1012 326.25 0.573576 0.602077 0.5\n"
    "1012 326.25 0.573576 0.602077 0.5\n"
    "# vertex 1\n"
    "1012 337.5 0.573576 0.602077 0.5\n"
    "1012 337.5 0.573576 0.602077 0.5\n"
    "# vertex 2\n"
    "1010 225.0 0.874258 -0.169912 0.5\n"
    "1010 225.0 0.874258 -0.169912 0.5\n"
    "# vertex 3\n"
    "1012 326.25 0.7 0.602077 0.5\n"
    "1012 326.25 0.7 0.602077 0.5\n"
    "# vertex 4\n"
    "1012 337.5 0.7 0.602077 0.5\n"
    "1012 337.5 0.7 0.602077 0.5\n"
    "# vertex 5\n"
    "1010 225.0 0.9 -0.169912 0.5\n"
    "1010 225.0 0.9 -0.169912 0.5\n"
    "# display segment of each face\n"
    "26 26\n"
    "# facial features: hair, eyebrows, eyelids, whites of the eyes, irises, pupils, lips\n"
    "#HEAD\n"
    "2\n"
    "0 1\n"
    "1\n"
    "0\n"
    "1\n"
    "1\n"
    "1\n"
    "0\n"
    "1\n"
    "1\n"
    "1\n"
    "0\n"
    "1\n"
    "1\n";

bool Save(const fs::path& file, const KelStreamDefinition& stream) {
  std::ofstream out(file, std::ios::binary | std::ios::trunc);
  out.write(stream.GetBuffer(), static_cast<std::streamsize>(stream.GetLength()));
  return static_cast<bool>(out);
}

bool SaveRecord(const fs::path& folder, const std::string& name, MKManikinPart& part) {
  KelStreamDefinition stream;
  return part.Write(stream) == MKStatusSuccess && Save(folder / name, stream);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: mkfuzz_seeds CORPUS_FOLDER DATA_FOLDER\n";
    return 2;
  }
  const fs::path corpus = argv[1], dataFolder = argv[2];
  for (const char* target :
       {"part_stream", "library_file", "paste", "skin_file", "msg_catalog", "user_db"})
    fs::create_directories(corpus / target);

  MKManikin* manikin = nullptr;
  if (MKManikin::Create(manikin, 1, 50.0, nullptr, 1, 1) != MKStatusSuccess) return 1;
  MKVision* vision = manikin->GetVision();
  vision->LookAt(60.0, -0.1, 0.2);
  vision->SetPonctumRemotum(600.0);
  MKVisualLimitsVariable glasses(KelUnicodeString("Glasses"));
  glasses.SetMaxVerticalTopAngle(30.0);
  vision->AddVisualLimitsVariable(&glasses);
  MKMemo memo;
  memo.SetText("Seed");
  manikin->PasteFrom(&memo, 1);
  // Limits off the median and two preferred-angle zones on every DOF of the
  // right shoulder, so that joint limits and preferred angles have records.
  for (int i = 0; i < 3; ++i) {
    MKDOF* dof = manikin->GetBody()->GetSegment(RSArAr)->GetDOF(i);
    if (!dof) continue;
    dof->SetMinLimFromPercentile(5.0);
    dof->SetMaxLimFromPercentile(95.0);
    dof->AddPrefAngle();
    dof->AddPrefAngle();
  }

  // One record of every kind the manikin gives, each a seed of both the
  // reader and the paste.
  std::vector<MKManikinPart*> parts;
  for (int kind = MKPartDefaultID; kind <= MKPartPrefAnglesDof3ID; ++kind)
    if (MKManikinPart* part = manikin->ExtractPart(MKPartID(kind), 0, nullptr))
      parts.push_back(part);
  parts.push_back(new MKVision());
  bool ok = true;
  MKManikinPart library(MKPartLibraryID, 2.0);
  // The same without the 10 KB posture, so that it fits whole, the manikin
  // included, in the capped inputs of the library fuzzer.
  MKManikinPart smallLibrary(MKPartLibraryID, 2.0);
  for (std::size_t i = 0; i < parts.size(); ++i) {
    MKManikinPart* part = parts[i];
    const std::string name = "kind-" + std::to_string(part->GetPartID()) + "-" + std::to_string(i);
    ok = SaveRecord(corpus / "part_stream", name, *part) && ok;
    ok = SaveRecord(corpus / "paste", name, *part) && ok;
    library.AddPart(part);
    if (part->GetPartID() != MKPartPostureID) smallLibrary.AddPart(part);
    part->Destroy();
  }
  // The whole manikin: a record of its own, and in the library among the
  // loose parts.
  ok = SaveRecord(corpus / "part_stream", "kind-1-manikin", *manikin) && ok;
  ok = SaveRecord(corpus / "paste", "kind-1-manikin", *manikin) && ok;
  library.AddPart(manikin);
  ok = SaveRecord(corpus / "library_file", "library", library) && ok;
  smallLibrary.AddPart(manikin);
  ok = SaveRecord(corpus / "library_file", "small-library", smallLibrary) && ok;
  manikin->Destroy();

  // A user population and user joint limits of a few values each.
  MKUserDBAnthro* population = MKUserDBAnthro::Create(KelUnicodeString("Seed population"));
  population->SetVariable("<STATURE>", 176.0, 163.0, 7.0, 6.5);
  population->SetVariable("<WEIGHT>", 85.0, 68.0, 14.0, 12.0);
  KelStreamDefinition populationRecord;
  ok = population->Write(populationRecord) == MKStatusSuccess &&
       Save(corpus / "user_db" / "population", populationRecord) && ok;
  population->Destroy();
  MKUserDBJointLimits* limits = MKUserDBJointLimits::Create(KelUnicodeString("Seed limits"));
  limits->SetVariable(RSArAr, 0, 150.0, 40.0, 10.0, 8.0);
  KelStreamDefinition limitsRecord;
  ok = limits->Write(limitsRecord) == MKStatusSuccess &&
       Save(corpus / "user_db" / "joint-limits", limitsRecord) && ok;
  limits->Destroy();

  // A skin of two faces on six vertices with every section: the fuzzer
  // reaches the whole reader on inputs far smaller than the shipped skins.
  std::ofstream(corpus / "skin_file" / "small.skn") << kSmallSkin;
  for (const char* skin : {"female.skn", "male.skn"})
    fs::copy_file(dataFolder / skin, corpus / "skin_file" / skin,
                  fs::copy_options::overwrite_existing);
  fs::copy_file(dataFolder / "LumHumanModeling.msg", corpus / "msg_catalog" / "catalogue",
                fs::copy_options::overwrite_existing);
  fs::copy_file(dataFolder / "USArmy2012.mkudb", corpus / "user_db" / "USArmy2012",
                fs::copy_options::overwrite_existing);
  if (!ok) std::cerr << "mkfuzz_seeds: a record could not be written\n";
  return ok ? 0 : 1;
}
