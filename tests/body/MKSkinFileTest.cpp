#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "body/MKBody.h"
#include "host/KelFile.h"
#include "host/KelGetEnv.h"

namespace {

namespace fs = std::filesystem;

// A small closed base mesh (a cube: 6 faces, 8 vertices) with every section, one line per
// element, so that a test can damage any single line.
struct SkinText {
  std::vector<std::string> preamble = {"# a test head",
                                       "#STAR is not the marker, nor a later #START"};
  std::vector<std::string> counts = {"6", "8"};
  std::vector<std::string> neighbours = {"n 1 0 2 1 3 2 4 3", "n 0 0 2 0 3 0 4 0",
                                         "n 0 1 1 1 4 1 5 1", "n 0 2 1 2 4 2 5 2",
                                         "n 0 3 1 3 2 3 5 3", "n 5 0 4 0 3 0 2 0"};
  std::vector<std::string> faces = {"0 0 1 2 3", "1 4 5 6 7", "2 0 1 5 4",
                                    "3 1 2 6 5", "4 2 3 7 6", "5 3 0 4 7"};
  // Two anchor lines per vertex; vertex v anchors on EHeFh and EHeGl with parameters derived from
  // v.
  std::vector<std::string> anchors;
  std::vector<std::string> display = {"# display", "26 26 25 26 28 26"};
  std::vector<std::string> head = {"# features", "#HEAD"};
  std::vector<std::string> features = {"3", "0 1 2", "1",   "3", "2", "4 5", "1",
                                       "0", "2",     "1 2", "1", "5", "2",   "3 4"};

  SkinText() {
    for (int v = 0; v < 8; ++v) {
      anchors.push_back("1012 " + std::to_string(10 * v) + ".5 1.25 -0.5 0.75");
      anchors.push_back("1013 " + std::to_string(10 * v + 5) + ".5 0.5 0.25 0.25");
    }
  }

  std::string Text() const {
    std::string text;
    auto add = [&text](const std::vector<std::string>& lines) {
      for (const std::string& line : lines) text += line + "\n";
    };
    add(preamble);
    text += "#START\n";
    add(counts);
    add(neighbours);
    add(faces);
    for (std::size_t v = 0; v < anchors.size() / 2; ++v) {
      text += "vertex " + std::to_string(v) + "\n";
      text += anchors[2 * v] + "\n" + anchors[2 * v + 1] + "\n";
    }
    add(display);
    add(head);
    add(features);
    return text;
  }
};

void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary);
  out << text;
}

// Reads `text` as the skin file of `sex` through the reader, from a temporary file.
int ReadText(const std::string& text, int sex) {
  // One file per process: CTest runs test processes side by side.
  const fs::path path =
      fs::path(testing::TempDir()) / ("mk_skin_reader_test_" + std::to_string(getpid()) + ".skn");
  WriteFile(path, text);
  const KelUnicodeString name(path.string().c_str());
  unsigned int file = 0;
  EXPECT_EQ(KelFOpen(&name, "r", &file), 0);
  const int result = MKBody::ReadSKNData(file, sex);
  KelFClose(file);
  fs::remove(path);
  return result;
}

std::vector<int> Feature(const int* faces, int count) {
  return std::vector<int>(faces, faces + count);
}

std::vector<double> Parameters(const MKSubDVertex::Anchor& anchor) {
  return std::vector<double>(anchor.parameters, anchor.parameters + 5);
}

struct Group {
  int& count;
  const int* faces;
  int capacity;
};

// The feature groups of a sex in file order.
std::vector<Group> Groups(int sex) {
  using B = MKBody;
  return {{B::sNbHairFaces[sex], B::sHairFaces[sex], B::sMaxHairFaces},
          {B::sNbEyebrowsFaces[sex], B::sEyebrowsFaces[sex], B::sMaxEyebrowsFaces},
          {B::sNbEyelidsFaces[sex], B::sEyelidsFaces[sex], B::sMaxEyelidsFaces},
          {B::sNbEyesWhiteFaces[sex], B::sEyesWhiteFaces[sex], B::sMaxEyesWhiteFaces},
          {B::sNbEyesColorFaces[sex], B::sEyesColorFaces[sex], B::sMaxEyesColorFaces},
          {B::sNbPupilsFaces[sex], B::sPupilsFaces[sex], B::sMaxPupilsFaces},
          {B::sNbLipsFaces[sex], B::sLipsFaces[sex], B::sMaxLipsFaces}};
}

void ClearSex(int sex) {
  MKBody::sNbHierarchies[sex] = 0;
  MKBody::sNbVertices[sex] = 0;
  for (const Group& group : Groups(sex)) group.count = 0;
}

// Every count within its capacity and every stored index within the counts it refers to.
void ExpectConsistentTables(int sex) {
  const int faces = MKBody::sNbHierarchies[sex];
  const int vertices = MKBody::sNbVertices[sex];
  ASSERT_GE(faces, 0);
  ASSERT_LE(faces, MKBody::sMaxHierarchies);
  ASSERT_GE(vertices, 0);
  ASSERT_LE(vertices, MKBody::sMaxSubDVertices);
  for (int f = 0; f < faces; ++f) {
    for (int k = 0; k < 4; ++k) {
      EXPECT_GE(MKBody::sHierarchies[sex][f][k], 0);
      EXPECT_LT(MKBody::sHierarchies[sex][f][k], vertices);
      EXPECT_GE(MKBody::sFaceNeighborhoodInfos[sex][f][2 * k], -1);
      EXPECT_LT(MKBody::sFaceNeighborhoodInfos[sex][f][2 * k], faces);
      EXPECT_GE(MKBody::sFaceNeighborhoodInfos[sex][f][2 * k + 1], -1);
      EXPECT_LE(MKBody::sFaceNeighborhoodInfos[sex][f][2 * k + 1], 3);
    }
    EXPECT_GE(MKBody::sHierarchyOwnerSegmentForVisu[sex][f], 0);
    EXPECT_LE(MKBody::sHierarchyOwnerSegmentForVisu[sex][f], 98);
  }
  for (int v = 0; v < vertices; ++v) {
    for (const MKSubDVertex::Anchor& anchor : MKBody::sSubDVertices[sex][v].anchors) {
      if (anchor.ellipseShortName != 0) {
        EXPECT_GE(anchor.ellipseShortName, 1000);
        EXPECT_LE(anchor.ellipseShortName, 1106);
      }
      EXPECT_EQ(anchor.parameters[4], 0.0);
    }
  }
  for (const Group& group : Groups(sex)) {
    ASSERT_GE(group.count, 0);
    ASSERT_LE(group.count, group.capacity);
    for (int i = 0; i < group.count; ++i) {
      EXPECT_GE(group.faces[i], 0);
      EXPECT_LT(group.faces[i], faces);
    }
  }
}

// The skin tables, read flags and search path are process-wide: every test starts from empty
// tables and leaves the flags and path list as a fresh process has them, so that whoever reads
// the skin files next reads the real ones.
class MKSkinFileTest : public testing::Test {
 protected:
  void SetUp() override {
    const char* path = KelGetEnv("KelGraphicPath");
    hadPath = path != nullptr;
    if (path) savedPath = path;
    Reset();
  }
  void TearDown() override {
    if (hadPath) {
      setenv("KelGraphicPath", savedPath.c_str(), 1);
    } else {
      unsetenv("KelGraphicPath");
    }
    Reset();
  }
  static void Reset() {
    ClearSex(0);
    ClearSex(1);
    MKBody::sFemaleDataRead = 0;
    MKBody::sMaleDataRead = 0;
    MKBody::sDefaultPathList.RemoveAll();
  }

  bool hadPath = false;
  std::string savedPath;
};

TEST_F(MKSkinFileTest, ReadsEverySectionOfAWellFormedFile) {
  SkinText skin;
  skin.anchors[0] = "1012 12,25 0,5 -1,75 0.5";  // comma decimals under the point locale
  ASSERT_EQ(ReadText(skin.Text(), 1), 0);
  EXPECT_EQ(MKBody::sNbHierarchies[1], 6);
  EXPECT_EQ(MKBody::sNbVertices[1], 8);
  EXPECT_EQ(Feature(MKBody::sHierarchies[1][3], 4), (std::vector<int>{1, 2, 6, 5}));
  EXPECT_EQ(Feature(MKBody::sFaceNeighborhoodInfos[1][5], 8),
            (std::vector<int>{5, 0, 4, 0, 3, 0, 2, 0}));
  EXPECT_EQ(Parameters(MKBody::sSubDVertices[1][0].anchors[0]),
            (std::vector<double>{12.25, 0.5, -1.75, 0.5, 0.0}));
  const MKSubDVertex& vertex = MKBody::sSubDVertices[1][7];
  EXPECT_EQ(vertex.anchors[0].ellipseShortName, 1012);
  EXPECT_EQ(Parameters(vertex.anchors[0]), (std::vector<double>{70.5, 1.25, -0.5, 0.75, 0.0}));
  EXPECT_EQ(vertex.anchors[1].ellipseShortName, 1013);
  EXPECT_EQ(vertex.anchors[1].parameters[0], 75.5);
  EXPECT_EQ(vertex.anchors[1].segmentIndex, 0);  // resolved later against a body
  EXPECT_EQ(Feature(MKBody::sHierarchyOwnerSegmentForVisu[1], 6),
            (std::vector<int>{26, 26, 25, 26, 28, 26}));
  const std::vector<std::vector<int>> groups = {{0, 1, 2}, {3}, {4, 5}, {0}, {1, 2}, {5}, {3, 4}};
  for (std::size_t g = 0; g < groups.size(); ++g)
    EXPECT_EQ(Feature(Groups(1)[g].faces, Groups(1)[g].count), groups[g]) << g;
  EXPECT_EQ(MKBody::sNbHierarchies[0], 0) << "the other sex is untouched";
}

// The entries of a sex's base mesh, each as numbers: per face its corners,
// its neighbourhood and its display segment, then per vertex its two anchors.
std::vector<std::vector<double>> Entries(int sex) {
  std::vector<std::vector<double>> entries;
  for (int f = 0; f < 6; ++f) {
    entries.emplace_back(MKBody::sHierarchies[sex][f], MKBody::sHierarchies[sex][f] + 4);
    entries.emplace_back(MKBody::sFaceNeighborhoodInfos[sex][f],
                         MKBody::sFaceNeighborhoodInfos[sex][f] + 8);
    entries.push_back({static_cast<double>(MKBody::sHierarchyOwnerSegmentForVisu[sex][f])});
  }
  for (int v = 0; v < 8; ++v)
    for (const MKSubDVertex::Anchor& a : MKBody::sSubDVertices[sex][v].anchors) {
      entries.push_back({static_cast<double>(a.ellipseShortName)});
      entries.back().insert(entries.back().end(), a.parameters, a.parameters + 5);
    }
  return entries;
}

// Random unusable records, a few at a time: each leaves its own entry cleared
// and every other entry as the intact file gives it. Among them lines of 256
// characters that start well; one of 255 is accepted, and a preamble line
// whose second 255 characters begin with the marker is no marker.
TEST_F(MKSkinFileTest, UnusableRecordsLeaveOnlyTheirEntriesCleared) {
  SkinText good;
  good.preamble.push_back(std::string(255, '#') + "#START");
  good.anchors[7] += std::string(255 - good.anchors[7].size(), ' ');
  ASSERT_EQ(ReadText(good.Text(), 1), 0);
  const std::vector<std::vector<double>> intact = Entries(1);
  ASSERT_EQ(intact[18 + 7][0], 1013.0);
  const std::vector<std::string> badFaces = {" 0 1 2 8", " 0 1 -5 4",
                                             " 2 3 7 6 " + std::string(300, '9')};
  const std::vector<std::string> badNeighbours = {"n 0 0 2 0 3 0 6 0", "n 0 3 1 3 2 4 5 3",
                                                  "n 0 1 1 1 4 1 5 1" + std::string(250, ' ')};
  const std::vector<std::string> badAnchors = {"1012 nan 1 0 0.5",
                                               "1013 1e999 1 0 0.5",
                                               "999 1 1 0 0.5",
                                               "1107 1 1 0 0.5",
                                               "10120000000 1 1 0 0.5",
                                               "1012 1 1 0",
                                               std::string("1012 1 1 0 0.5") + '\0' + "9",
                                               "1012 1.5 1.5 1.5 1.5" + std::string(236, ' ')};
  std::mt19937 random(256);
  for (int trial = 0; trial < 60; ++trial) {
    SkinText skin = good;
    std::vector<std::vector<double>> expected = intact;
    std::vector<std::string> display = {"26", "26", "25", "26", "28", "26"};
    for (int damage = 0; damage < 3; ++damage) {
      const int f = static_cast<int>(random() % 6), v = static_cast<int>(random() % 16);
      std::size_t entry;
      switch (random() % 4) {
        case 0:
          skin.faces[f] = (random() % 4 ? std::to_string(f) : std::string("x")) +
                          badFaces[random() % badFaces.size()];
          entry = 3 * f;
          break;
        case 1:
          skin.neighbours[f] = badNeighbours[random() % badNeighbours.size()];
          entry = 3 * f + 1;
          break;
        case 2:
          display[f] = random() % 2 ? "99" : (random() % 2 ? "x" : "-1");
          entry = 3 * f + 2;
          break;
        default:
          skin.anchors[v] = badAnchors[random() % badAnchors.size()];
          entry = 18 + v;
          break;
      }
      std::fill(expected[entry].begin(), expected[entry].end(), 0.0);
    }
    skin.display.back().clear();
    for (const std::string& segment : display) skin.display.back() += segment + " ";
    ASSERT_EQ(ReadText(skin.Text(), 1), 0) << trial;
    EXPECT_EQ(Entries(1), expected) << "trial " << trial;
    ExpectConsistentTables(1);
    if (HasFailure()) break;
  }
}

// A file without its marker, with counts beyond the capacities or not
// numbers, or ending inside the base mesh fails and leaves its sex with no
// base mesh; a sex other than 0 or 1 is refused; the other sex is untouched.
TEST_F(MKSkinFileTest, ABrokenBaseMeshFailsAndEmptiesItsSex) {
  const std::string text = SkinText().Text();
  std::vector<std::string> broken = {"",
                                     std::string(text).replace(text.rfind("#START"), 6, "#STAR ")};
  for (const char* faces : {"901", "-1", "2147483648", "6.0", "six", ""}) {
    SkinText skin;
    skin.counts[0] = faces;
    broken.push_back(skin.Text());
  }
  for (const char* vertices : {"901", "-8", "0"}) {
    SkinText skin;
    skin.counts[1] = vertices;
    broken.push_back(skin.Text());
  }
  const std::size_t display = text.find("# display");
  for (std::size_t cut :
       {text.find("n 0 2"), text.find("3 1 2 6 5"), text.find("vertex 5"), display, display + 10}) {
    ASSERT_NE(cut, std::string::npos);
    broken.push_back(text.substr(0, cut));
  }
  for (std::size_t i = 0; i < broken.size(); ++i) {
    const int sex = static_cast<int>(i % 2);
    ASSERT_TRUE(ReadText(text, 0) == 0 && ReadText(text, 1) == 0);
    EXPECT_EQ(ReadText(broken[i], sex), MKBody::sSkinFileFailure) << i;
    EXPECT_EQ(MKBody::sNbHierarchies[sex], 0) << i;
    EXPECT_EQ(MKBody::sNbVertices[sex], 0) << i;
    EXPECT_EQ(MKBody::sNbHierarchies[1 - sex], 6) << i;
  }
  ASSERT_EQ(ReadText(text, 0), 0);
  ASSERT_EQ(ReadText(text, 1), 0);
  for (int sex : {2, -1}) EXPECT_EQ(ReadText(text, sex), MKBody::sSkinFileFailure);
  EXPECT_EQ(MKBody::sNbHierarchies[0] + MKBody::sNbHierarchies[1], 12);
  // Noise, with and without the marker before it.
  std::mt19937 random(7);
  std::string noise(20000, '\0');
  for (char& c : noise) c = static_cast<char>(random() % 256);
  EXPECT_EQ(ReadText(noise, 0), MKBody::sSkinFileFailure);
  EXPECT_EQ(ReadText("#START\n" + noise, 0), MKBody::sSkinFileFailure);
  ExpectConsistentTables(0);
  // Ending inside the features keeps the base mesh and the groups read so far.
  ClearSex(1);
  EXPECT_EQ(ReadText(text.substr(0, text.find("0 1 2\n1\n3\n") + 8), 1), 0);
  EXPECT_EQ(MKBody::sNbHierarchies[1], 6);
  EXPECT_EQ(MKBody::sNbHairFaces[1], 3);
  EXPECT_EQ(MKBody::sNbEyebrowsFaces[1], 0);
}

// Without a graphic path the shipped files are found.
TEST_F(MKSkinFileTest, WithoutGraphicPathTheShippedFilesAreFound) {
  unsetenv("KelGraphicPath");
  for (int sex = 0; sex <= 1; ++sex) {
    SCOPED_TRACE(sex);
    ASSERT_EQ(MKBody::ReadMeshData(sex), 0);
    ExpectConsistentTables(sex);
    EXPECT_GT(MKBody::sNbHierarchies[sex], 200);
    EXPECT_GT(MKBody::sNbVertices[sex], 200);
    for (int v = 0; v < MKBody::sNbVertices[sex]; ++v) {
      const MKSubDVertex::Anchor* anchors = MKBody::sSubDVertices[sex][v].anchors;
      for (int a = 0; a < 2; ++a) {
        EXPECT_GE(anchors[a].ellipseShortName, 1010);  // the head ellipses EHeCh..EHeTo
        EXPECT_LE(anchors[a].ellipseShortName, 1018);
      }
      EXPECT_DOUBLE_EQ(anchors[0].parameters[3] + anchors[1].parameters[3], 1.0);
    }
    for (int count :
         {MKBody::sNbHairFaces[sex], MKBody::sNbEyebrowsFaces[sex], MKBody::sNbEyelidsFaces[sex],
          MKBody::sNbEyesWhiteFaces[sex], MKBody::sNbEyesColorFaces[sex],
          MKBody::sNbPupilsFaces[sex], MKBody::sNbLipsFaces[sex]})
      EXPECT_GT(count, 0);
    const std::string texture = MKBody::sFaceTexturePath[sex].ConvertToChar().CastToCharPtr();
    EXPECT_TRUE(fs::exists(texture)) << texture;
  }
}

}  // namespace
