// Writes the seed corpora of the fuzz targets into the folder given (one
// sub-folder per target): every part a created manikin gives, a vision
// looking at a point, a library file holding the listable ones, and the
// library's own skin files and message catalogue, copied from the data
// folder given second.
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

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
  for (const char* target : {"part_stream", "library_file", "paste", "skin_file", "msg_catalog"})
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
  for (std::size_t i = 0; i < parts.size(); ++i) {
    MKManikinPart* part = parts[i];
    const std::string name = "kind-" + std::to_string(part->GetPartID()) + "-" + std::to_string(i);
    ok = SaveRecord(corpus / "part_stream", name, *part) && ok;
    ok = SaveRecord(corpus / "paste", name, *part) && ok;
    library.AddPart(part);
    part->Destroy();
  }
  ok = SaveRecord(corpus / "library_file", "library", library) && ok;
  manikin->Destroy();

  for (const char* skin : {"female.skn", "male.skn"})
    fs::copy_file(dataFolder / skin, corpus / "skin_file" / skin,
                  fs::copy_options::overwrite_existing);
  fs::copy_file(dataFolder / "LumHumanModeling.msg", corpus / "msg_catalog" / "catalogue",
                fs::copy_options::overwrite_existing);
  if (!ok) std::cerr << "mkfuzz_seeds: a record could not be written\n";
  return ok ? 0 : 1;
}
