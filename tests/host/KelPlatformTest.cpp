// Message catalogue, environment, data path and file access of the host layer.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "host/KelFile.h"
#include "host/KelMsgCatalog.h"

namespace {

std::string Bytes(const KelUnicodeString& text) {
  return text.ConvertToChar().CastToCharPtr();
}

// A scratch directory removed with its files at the end of the test.
class TempDir {
 public:
  TempDir() {
    char pattern[] = "/tmp/mkhosttestXXXXXX";
    path = mkdtemp(pattern) ? pattern : "";
  }
  ~TempDir() {
    for (const std::string& f : files) std::remove(f.c_str());
    if (!path.empty()) rmdir(path.c_str());
  }
  std::string Write(const char* name, const std::string& content) {
    const std::string full = path + "/" + name;
    std::FILE* f = std::fopen(full.c_str(), "wb");
    if (f) {
      std::fwrite(content.data(), 1, content.size(), f);
      std::fclose(f);
    }
    files.push_back(full);
    return full;
  }
  std::string path;

 private:
  std::vector<std::string> files;
};

// An absent key or catalogue gives the default; parameters are substituted.
TEST(KelMsgCatalogTest, ParametersAreSubstitutedAndAbsentKeysGiveTheDefault) {
  const KelUnicodeString fallback("@fallback \xE2\x82\xAC");
  EXPECT_TRUE(KelMsgCatalog::BuildMessage("LumHumanModeling", "NoSuchKeyAnywhere", nullptr, 0,
                                          fallback) == fallback);
  EXPECT_TRUE(KelMsgCatalog::BuildMessage("NoSuchCatalogue", "MKStatusMessage0", nullptr, 0,
                                          fallback) == fallback);
  const KelUnicodeString found =
      KelMsgCatalog::BuildMessage("LumHumanModeling", "MKStatusMessage0", nullptr, 0, fallback);
  EXPECT_FALSE(found == fallback);
  EXPECT_GT(found.GetLengthInChar(), 0);

  // A catalogue of its own name: the process-wide cache of the library's
  // catalogue is neither used nor filled from here.
  TempDir dir;
  ASSERT_FALSE(dir.path.empty());
  dir.Write("MKHostTestCatalogue.msg",
            "# test catalogue\n"
            "Two = \"/P2 before /P1, /P1 again\";\n"
            "Quoted = \"say \\\"hi\\\"\\tnow\";\n"
            "Plain = \"no parameters \xC3\xA9\";\n"
            "#Hidden = \"comment\";\n");
  const char* old = std::getenv("MKManikinDataPath");
  const bool hadPath = old != nullptr;
  const std::string previous = hadPath ? old : "";
  setenv("MKManikinDataPath", dir.path.c_str(), 1);

  const KelUnicodeString parameters[] = {"one", "\xC3\xA9two"};
  EXPECT_EQ(Bytes(KelMsgCatalog::BuildMessage("MKHostTestCatalogue", "Two", parameters, 2, "d")),
            "\xC3\xA9two before one, one again");
  EXPECT_EQ(Bytes(KelMsgCatalog::BuildMessage("MKHostTestCatalogue", "Quoted", nullptr, 0, "d")),
            "say \"hi\"\tnow");
  EXPECT_EQ(Bytes(KelMsgCatalog::BuildMessage("MKHostTestCatalogue", "Plain", parameters, 2, "d")),
            "no parameters \xC3\xA9");
  EXPECT_EQ(Bytes(KelMsgCatalog::BuildMessage("MKHostTestCatalogue", "#Hidden", nullptr, 0, "d")),
            "d");
  if (hadPath)
    setenv("MKManikinDataPath", previous.c_str(), 1);
  else
    unsetenv("MKManikinDataPath");
}

TEST(KelFileTest, ReadsATemporaryFileAndFailsNegatively) {
  TempDir dir;
  const KelUnicodeString path(dir.Write("lines.txt", "first line\nsecond\n").c_str());

  unsigned int handle = 0;
  ASSERT_GE(KelFOpen(&path, "rb", &handle), 0);
  unsigned int size = 0;
  ASSERT_GE(KelFSize(handle, &size), 0);
  EXPECT_EQ(size, 18u);
  char buffer[32] = {};
  unsigned int read = 0;
  ASSERT_GE(KelFRead(handle, buffer, size, &read), 0);
  EXPECT_EQ(read, 18u);
  EXPECT_EQ(std::memcmp(buffer, "first line\nsecond\n", 18), 0);
  EXPECT_GE(KelFClose(handle), 0);
  EXPECT_LT(KelFClose(handle), 0);

  ASSERT_GE(KelFOpen(&path, "r", &handle), 0);
  EXPECT_EQ(KelFEof(handle), 0);
  ASSERT_GE(KelFGets(buffer, sizeof buffer, handle), 0);
  EXPECT_STREQ(buffer, "first line\n");
  ASSERT_GE(KelFGets(buffer, 4, handle), 0);  // at most maximum - 1 bytes
  EXPECT_STREQ(buffer, "sec");
  ASSERT_GE(KelFGets(buffer, sizeof buffer, handle), 0);
  EXPECT_STREQ(buffer, "ond\n");
  EXPECT_LT(KelFGets(buffer, sizeof buffer, handle), 0);
  EXPECT_EQ(KelFEof(handle), 1);
  EXPECT_GE(KelFClose(handle), 0);

  // Failures are negative.
  const KelUnicodeString missing("/nonexistent/mkhosttest/none.txt");
  EXPECT_LT(KelFOpen(&missing, "rb", &handle), 0);
  const KelUnicodeString empty("");
  EXPECT_LT(KelFOpen(&empty, "rb", &handle), 0);
  const unsigned int bad = 987654;
  EXPECT_LT(KelFSize(bad, &size), 0);
  EXPECT_LT(KelFRead(bad, buffer, 4, &read), 0);
  EXPECT_LT(KelFGets(buffer, 4, bad), 0);
  EXPECT_LT(KelFEof(bad), 0);
  EXPECT_LT(KelFClose(bad), 0);
}

}  // namespace
