// mkmanikin demo: three typical manikins, written out and pictured together.
#include <CLI/CLI.hpp>

#include <algorithm>
#include <filesystem>
#include <iostream>
#include <system_error>

#include "AnthropometryTable.h"
#include "CommandSupport.h"
#include "Failure.h"
#include "ManikinBuilder.h"
#include "Numbers.h"
#include "ObjWriter.h"
#include "OutputFiles.h"
#include "Pictures.h"
#include "SkinMesh.h"
#include "body/MKBody.h"
#include "manikin/MKManikin.h"

namespace mkcli {
namespace {

struct Member {
  int sex;
  double percentile;
  const char* stem;
  const char* title;
};
const Member kMembers[] = {{0, 5.0, "female-p5", "5th percentile female"},
                           {1, 50.0, "male-p50", "50th percentile male"},
                           {1, 95.0, "male-p95", "95th percentile male"}};

// A value of the table with its unit, right-aligned in `width` columns.
std::string Column(const AnthropometryTable& table, const char* acronym, std::size_t width) {
  const Dimension* d = table.Find(acronym);
  const std::string text = d ? FixedText(d->value, 1) + " " + d->unit : "-";
  return std::string(width > text.size() ? width - text.size() : 0, ' ') + text;
}

class DemoCommand : public Subcommand {
 public:
  CLI::App* Add(CLI::App& app) override {
    CLI::App* command =
        app.add_subcommand("demo", "Make three typical manikins, their tables, skins and picture");
    command->add_option("--out", out, "Directory to write into (created if missing)")
        ->type_name("DIR")
        ->default_str("mkmanikin-demo");
    AddSizeOption(*command, size, "960x800");
    command->footer(
        "Needs no input: creates the 5th-percentile woman, the 50th-percentile man and\n"
        "the 95th-percentile man of the built-in population, standing, and writes into\n"
        "DIR their body dimensions (female-p5.csv, .json, ...), their skins (.obj) and\n"
        "demo.png, the three side by side at one scale; then prints what it wrote.\n");
    return command;
  }

  void Run() override {
    const PictureSize pictureSize = ParseSize(size);
    std::error_code error;
    std::filesystem::create_directories(out, error);
    if (error) throw Failure(kExitFailure, "--out " + out + ": cannot create: " + error.message());
    const std::filesystem::path dir(out);

    OutputFiles files;
    std::vector<TriangleMesh> meshes;
    std::vector<AnthropometryTable> tables;
    for (const Member& member : kMembers) {
      ManikinSpec spec;
      spec.sex = member.sex;
      spec.percentile = member.percentile;
      std::vector<std::string> warnings;
      const ManikinPtr built = BuildManikin(spec, warnings);
      Warn(warnings);
      built->GetBody()->SetPosture(MKPostureStanding);
      tables.push_back(CollectAnthropometry(*built, member.percentile));
      meshes.push_back(BuildSkinMesh(*built));
      const std::string base = (dir / member.stem).string();
      files.Stage(base + ".csv", "--out", FormatCsv(tables.back()));
      files.Stage(base + ".json", "--out", FormatJson(tables.back()));
      files.Stage(base + ".obj", "--out",
                  FormatObj(meshes.back(), ObjHeader(*built, member.percentile, "standing")));
      // In the picture they stand side by side on one floor, y = 0.
      meshes.back().Translate({0.0, -FloorHeight(*built), 0.0});
    }
    std::vector<Figure> figures;
    for (std::size_t i = 0; i < meshes.size(); ++i) {
      const AnthropometryTable& t = tables[i];
      figures.push_back(
          {&meshes[i],
           {kMembers[i].title, "stature " + FixedText(t.Find("STATURE")->value, 1) + " cm",
            "weight " + FixedText(t.Find("WEIGHT")->value, 1) + " kg"}});
    }
    files.Stage((dir / "demo.png").string(), "--out",
                PngOf(DrawLineUp(figures, pictureSize.width, pictureSize.height)));
    files.Commit();
    PrintSummary(tables, dir);
  }

 private:
  static void PrintSummary(const std::vector<AnthropometryTable>& tables,
                           const std::filesystem::path& dir) {
    std::string shown = dir.string();
    if (shown.back() != '/') shown += '/';
    std::cout << "Three manikins of the built-in population \"" << tables.front().population
              << "\", standing, written to " << shown << "\n\n"
              << "                           stature    weight  sitting height      span\n";
    for (std::size_t i = 0; i < tables.size(); ++i) {
      std::string title = kMembers[i].title;
      title.resize(22, ' ');
      std::cout << "  " << title << Column(tables[i], "STATURE", 11)
                << Column(tables[i], "WEIGHT", 10) << Column(tables[i], "SITTHGHT", 16)
                << Column(tables[i], "SPAN", 10) << "\n";
    }
    std::cout << "\nFiles:\n";
    for (const Member& member : kMembers) {
      std::string line = "  ";
      for (const char* extension : {".csv", ".json", ".obj"}) {
        std::string name = member.stem + std::string(extension);
        name.resize(16, ' ');
        line += name;
      }
      line.erase(line.find_last_not_of(' ') + 1);
      std::cout << line << "\n";
    }
    std::cout << "  demo.png\n\n"
                 "The .csv and .json files hold every body dimension as 'mkmanikin create'\n"
                 "prints it, the .obj files the skins (Wavefront OBJ, cm), and demo.png shows\n"
                 "the three side by side at one scale.\n";
  }

  std::string out = "mkmanikin-demo";
  std::string size;
};

}  // namespace

std::unique_ptr<Subcommand> MakeDemoCommand() {
  return std::make_unique<DemoCommand>();
}

}  // namespace mkcli
