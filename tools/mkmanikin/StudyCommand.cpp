// mkmanikin study: the share of a population that a workplace accommodates,
// per check and sex, from a task file.
#include <unistd.h>
#include <CLI/CLI.hpp>

#include <cmath>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

#include "CommandSupport.h"
#include "Failure.h"
#include "Numbers.h"
#include "OutputFiles.h"
#include "StudyPlot.h"
#include "StudyRunner.h"
#include "StudyStatistics.h"

namespace mkcli {
namespace {

constexpr std::size_t kLargestTask = 1 << 20;

std::string ReadTask(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) throw UsageError(path + ": cannot be read");
  std::string text;
  char buffer[4096];
  while (in.read(buffer, sizeof buffer) || in.gcount() > 0) {
    text.append(buffer, static_cast<std::size_t>(in.gcount()));
    if (text.size() > kLargestTask) throw UsageError(path + ": larger than 1 MiB");
  }
  return text;
}

std::string Percent(double fraction) {
  return FixedText(100.0 * fraction, 1);
}

std::string Padded(const std::string& text, std::size_t width) {
  return text.size() >= width ? text + " " : text + std::string(width - text.size(), ' ');
}

std::string Table(const mkstudy::StudyTask& task, const mkstudy::StudyResult& result) {
  std::size_t women = 0, men = 0, outside = 0, unmade = 0;
  for (const mkstudy::SubjectOutcome& s : result.subjects) {
    (s.sex == 0 ? women : men) += 1;
    outside += !s.withinBounds;
    unmade += s.status != 0;
  }
  const mkstudy::Population& p = task.population;
  std::ostringstream out;
  if (!task.title.empty()) out << task.title << "\n";
  out << result.subjects.size() << " people (" << women << " women, " << men << " men): "
      << (p.survey ? "the subjects of the " + std::to_string(p.survey) + " survey"
                   : "sampled from " +
                         (p.database.empty() ? std::string("the built-in population")
                                             : "\"" + p.database + "\"") +
                         " with seed " + std::to_string(p.seed))
      << ", " << (task.placement.sitting ? "sitting" : "standing") << "\n"
      << outside << " outside the accommodation bounds (kept as measured), " << unmade
      << " could not be made (left out)\n\n";
  std::size_t width = 12;
  for (const mkstudy::Check& c : task.checks) width = std::max(width, c.name.size() + 2);
  out << Padded("check", width) << "group  people  accommodated   share   95% CI (Wilson score)\n";
  for (const mkstudy::ShareRow& row : mkstudy::Summarise(task, result)) {
    out << Padded(row.check, width) << Padded(row.group, 7)
        << Padded(std::to_string(row.share.people), 8)
        << Padded(std::to_string(row.share.accommodated), 13)
        << Padded(Percent(row.share.share) + " %", 9) << Percent(row.share.low) << " - "
        << Percent(row.share.high) << " %\n";
  }
  return out.str();
}

std::string Number(double value) {
  return std::isnan(value) ? "" : FixedText(value, 2);
}

std::string Csv(const mkstudy::StudyTask& task, const mkstudy::StudyResult& result) {
  std::string text = "subject,sex,status,within_bounds,stature,weight,sitting_height,span";
  for (const mkstudy::Check& c : task.checks) text += "," + c.name + "," + c.name + " pass";
  text += ",all pass\n";
  for (const mkstudy::SubjectOutcome& s : result.subjects) {
    text += s.identifier + (s.sex == 0 ? ",female," : ",male,") + std::to_string(s.status) + "," +
            (s.withinBounds ? "yes" : "no");
    for (double v : {s.stature, s.weight, s.sittingHeight, s.span}) text += "," + Number(v);
    for (std::size_t c = 0; c < task.checks.size(); ++c)
      text += "," + Number(s.measured[c]) + (s.passed[c] ? ",yes" : ",no");
    text += s.all ? ",yes\n" : ",no\n";
  }
  return text;
}

class StudyCommand : public Subcommand {
 public:
  CLI::App* Add(CLI::App& app) override {
    CLI::App* command =
        app.add_subcommand("study", "Run an accommodation study on every person of a population");
    command->add_option("task", taskFile, "The task file (JSON, see docs/study.md)")
        ->required()
        ->type_name("TASK.json");
    jobs = static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
    command->add_option("-j,--jobs", jobs, "Threads that make and measure people")
        ->check(CLI::Range(1, 256))
        ->capture_default_str();
    command->add_option("--out", outDir, "Write NAME.csv and NAME.png into DIR (NAME: the task's)")
        ->type_name("DIR")
        ->capture_default_str();
    command->footer(
        "Makes a manikin of every person of the task's population, places it, solves its\n"
        "reaches and measures every check. Prints the share of people accommodated by\n"
        "each check and by all of them, for women, men and everyone, with a 95 % Wilson\n"
        "score interval; writes one CSV row per person and a plot of each check's\n"
        "measured value against stature. The numbers are the same for any --jobs.\n\n"
        "Example:\n  mkmanikin study examples/study/button.json --jobs 2 --out results\n");
    return command;
  }

  void Run() override {
    const mkstudy::StudyTask task = [&] {
      try {
        return mkstudy::ParseStudyTask(ReadTask(taskFile), taskFile);
      } catch (const mkstudy::TaskError& e) {
        throw UsageError(e.what());
      }
    }();
    const bool bar = isatty(STDERR_FILENO) != 0;
    mkstudy::StudyResult result;
    try {
      result = mkstudy::RunStudy(task, jobs, [bar](std::size_t done, std::size_t total) {
        if (!bar || (done % 20 != 0 && done != total)) return;
        const std::size_t filled = done * 40 / total;
        std::cerr << "\r[" << std::string(filled, '#') << std::string(40 - filled, ' ') << "] "
                  << done << "/" << total << (done == total ? "\n" : "") << std::flush;
      });
    } catch (const mkstudy::TaskError& e) {
      throw Failure(kExitFailure, e.what());
    }
    std::string stem = taskFile.substr(taskFile.find_last_of('/') + 1);
    if (stem.size() > 5 && stem.compare(stem.size() - 5, 5, ".json") == 0)
      stem.resize(stem.size() - 5);
    const std::string base = (outDir.empty() ? "." : outDir) + "/" + stem;
    OutputFiles files;
    files.Stage(base + ".csv", "--out", Csv(task, result));
    files.Stage(base + ".png", "--out", PngOf(DrawStudyPlot(task, result, 900)));
    files.Commit();
    std::cout << Table(task, result) << "\nWrote " << base << ".csv and " << base << ".png\n"
              << std::flush;
    if (!std::cout) throw Failure(kExitFailure, "standard output: cannot write");
  }

 private:
  std::string taskFile;
  int jobs = 1;
  std::string outDir = ".";
};

}  // namespace

std::unique_ptr<Subcommand> MakeStudyCommand() {
  return std::make_unique<StudyCommand>();
}

}  // namespace mkcli
