// Accommodation studies: task files with messages that say where they are
// wrong, Wilson score shares, results that do not depend on the number of
// threads, and a reach share that falls as the target moves away.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <random>
#include <string>

#include "StudyRunner.h"
#include "StudyStatistics.h"
#include "StudyTask.h"
#include "ToolRunner.h"

namespace {

using mkstudy::ParseStudyTask;
using mkstudy::StudyTask;

const char* const kTask = R"({
  "population": {"count": 12, "seed": 3},
  "posture": {"type": "standing", "position": [10, -5]},
  "checks": [
    {"name": "button", "type": "reach", "hand": "right", "point": [-5, 120, 45]},
    {"type": "sight", "point": [0, 100, 150], "edge": {"height": 120, "depth": 60}},
    {"name": "eyes", "type": "sight", "eye_height": [140, 165]},
    {"name": "head", "type": "clearance", "body_point": "head-top", "stay": "below", "at": 180},
    {"name": "elbow", "type": "clearance", "body_point": "elbow", "side": "left", "axis": "x", "stay": "above", "at": 0},
    {"name": "rula", "type": "posture", "max_score": 4}
  ]
})";

std::string ErrorOf(const std::string& json) {
  try {
    ParseStudyTask(json, "t.json");
  } catch (const mkstudy::TaskError& e) {
    return e.what();
  }
  return "accepted";
}

// The task with its line `line` (from 1) replaced.
std::string WithLine(int line, const std::string& text) {
  std::string json = kTask;
  std::size_t start = 0;
  for (int l = 1; l < line; ++l) start = json.find('\n', start) + 1;
  return json.replace(start, json.find('\n', start) - start, text);
}

}  // namespace

TEST(StudyTest, TaskFilesAreReadOrRefusedWithLineAndField) {
  const StudyTask task = ParseStudyTask(kTask, "t.json");
  ASSERT_EQ(task.checks.size(), 6u);
  EXPECT_EQ(task.population.count, 12);
  EXPECT_TRUE(task.population.women && task.population.men);
  EXPECT_EQ(task.placement.x, 10.0);
  EXPECT_EQ(task.checks[4].axis, 0);
  EXPECT_FALSE(task.checks[4].below);
  EXPECT_EQ(task.checks[5].maxScore, 4);

  const struct {
    int line;
    std::string text, message;
  } cases[] = {
      {2, R"(  "population": {"count": 12, "seed": 3, "sex": "all"},)",
       "t.json:2: population.sex: give one of \"female\", \"male\", \"both\""},
      {5, R"(    {"name": "button", "type": "reach", "point": [-5, 120]},)",
       "t.json:5: checks[0].point: give three numbers [x, y, z]"},
      {9, R"(    {"name": "button", "type": "posture", "max_score": 4},)",
       "t.json:9: checks[4].name: another check has this name"},
      {9, R"(    {"name": "other", "type": "reach", "point": [0, 100, 30]},)",
       "t.json:9: checks[4].hand: another check already reaches with this hand"},
      {10, R"(    {"name": "rula", "type": "posture", "max_score": 4, "load": 2})",
       "t.json:10: checks[5].load: unknown field (known: type, name, side, max_score)"},
      {10, R"(    {"name": "rula", "type": "posture", "max_score": 4,})",
       "t.json:10: not valid JSON"},
  };
  for (const auto& c : cases) {
    const std::string error = ErrorOf(WithLine(c.line, c.text));
    EXPECT_EQ(error.substr(0, c.message.size()), c.message) << error;
  }
  const StudyTask women = ParseStudyTask(
      R"({"population": {"survey": 2012, "sex": "female"}, "checks": [{"type": "posture", "max_score": 3}]})",
      "t.json");
  EXPECT_TRUE(women.population.women && !women.population.men);
  EXPECT_EQ(women.population.survey, 2012);
  EXPECT_EQ(ErrorOf("[1]"), "t.json:1: task: give an object {...}");
}

// Random damage to a good task: it is read, or refused with a message that
// starts with the file, a line within the text and a field; never anything else.
TEST(StudyTest, DamagedTaskFilesAreRefusedWithAPlace) {
  std::mt19937 random(2012);
  const std::string good = kTask;
  const std::string bytes = "{}[],:\"0123456789.-eE abcxyz\n";
  int refused = 0;
  for (int trial = 0; trial < 3000; ++trial) {
    std::string text = good;
    for (int k = 0; k < 1 + static_cast<int>(random() % 3); ++k) {
      const std::size_t at = random() % text.size();
      if (random() % 2)
        text[at] = bytes[random() % bytes.size()];
      else
        text.erase(at, 1 + random() % 8);
    }
    const std::string error = ErrorOf(text);
    if (error == "accepted") continue;
    ++refused;
    ASSERT_EQ(error.rfind("t.json:", 0), 0u) << error;
    const long line = std::strtol(error.c_str() + 7, nullptr, 10);
    EXPECT_GE(line, 1);
    EXPECT_LE(line, std::count(text.begin(), text.end(), '\n') + 1) << error;
    EXPECT_NE(error.find(": ", 7), std::string::npos) << error;
  }
  EXPECT_GT(refused, 1000);
}

// Random counts: the interval holds the share, stays in [0, 1], mirrors
// between accommodated and not, and narrows as the sample grows.
TEST(StudyTest, WilsonIntervalsAreConsistent) {
  std::mt19937 random(95);
  for (int trial = 0; trial < 1000; ++trial) {
    const std::size_t n = 1 + random() % 5000, k = random() % (n + 1);
    const mkstudy::Share s = mkstudy::WilsonShare(k, n);
    const mkstudy::Share mirror = mkstudy::WilsonShare(n - k, n);
    EXPECT_LE(0.0, s.low);
    EXPECT_LE(s.low, s.share);
    EXPECT_LE(s.share, s.high);
    EXPECT_LE(s.high, 1.0);
    EXPECT_NEAR(s.low, 1.0 - mirror.high, 1e-12);
    const mkstudy::Share larger = mkstudy::WilsonShare(4 * k, 4 * n);
    EXPECT_LT(larger.high - larger.low, s.high - s.low);
  }
  // A published value: 81 of 263 gives 0.2553 to 0.3662.
  const mkstudy::Share s = mkstudy::WilsonShare(81, 263);
  EXPECT_NEAR(s.low, 0.2553, 5e-5);
  EXPECT_NEAR(s.high, 0.3662, 5e-5);
  EXPECT_EQ(mkstudy::WilsonShare(0, 0).people, 0u);
}

TEST(StudyTest, ResultsAreTheSameForAnyNumberOfJobs) {
  const StudyTask task = ParseStudyTask(kTask, "t.json");
  const mkstudy::StudyResult one = mkstudy::RunStudy(task, 1);
  std::size_t calls = 0;
  const mkstudy::StudyResult three =
      mkstudy::RunStudy(task, 3, [&](std::size_t done, std::size_t total) {
        EXPECT_EQ(done, ++calls);
        EXPECT_EQ(total, 24u);
      });
  EXPECT_EQ(calls, 24u);
  ASSERT_EQ(one.subjects.size(), 24u);
  ASSERT_EQ(three.subjects.size(), 24u);
  for (std::size_t i = 0; i < 24; ++i) {
    const mkstudy::SubjectOutcome &a = one.subjects[i], &b = three.subjects[i];
    EXPECT_EQ(a.sex, i < 12 ? 0 : 1);
    EXPECT_EQ(a.identifier, b.identifier);
    EXPECT_EQ(a.passed, b.passed);
    for (std::size_t c = 0; c < task.checks.size(); ++c)
      EXPECT_TRUE(a.measured[c] == b.measured[c] ||
                  (std::isnan(a.measured[c]) && std::isnan(b.measured[c])))
          << i << " " << c;
    // The head top stands at the stature; the eyes below it.
    EXPECT_NEAR(a.measured[3], a.stature, 0.5);
    EXPECT_LT(a.measured[2], a.stature - 5.0);
  }
}

TEST(StudyTest, CommandWritesTableCsvAndPlot) {
  mktooltest::ScratchDirectory dir;
  {
    std::ofstream(dir / "t.json") << kTask;
    std::ofstream(dir / "bad.json") << WithLine(7, R"(    {"name": "eyes", "type": "sight"},)");
  }
  const mktooltest::Run run = mktooltest::RunTool(
      {"study", (dir / "t.json").string(), "--jobs", "2", "--out", dir.path.string()});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.err, "");  // no progress bar when standard error is not a terminal
  EXPECT_NE(run.out.find("all checks  all    24"), std::string::npos) << run.out;
  const std::string csv = mktooltest::Slurp(dir / "t.csv");
  EXPECT_EQ(csv.substr(0, csv.find('\n')),
            "subject,sex,status,within_bounds,stature,weight,sitting_height,span,button,button "
            "pass,check 2,check 2 pass,eyes,eyes pass,head,head pass,elbow,elbow pass,rula,rula "
            "pass,all pass");
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 25);
  EXPECT_EQ(mktooltest::Slurp(dir / "t.png").substr(1, 3), "PNG");

  const mktooltest::Run bad = mktooltest::RunTool({"study", (dir / "bad.json").string()});
  EXPECT_EQ(bad.exitCode, 2);
  EXPECT_NE(bad.err.find("bad.json:7: checks[2].point: missing"), std::string::npos) << bad.err;
}
