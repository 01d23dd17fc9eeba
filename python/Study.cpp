// Accommodation studies: a task as a dict or JSON text, run on threads
// without the GIL, one row per person.
#include <pybind11/functional.h>

#include <cmath>

#include "Bindings.h"
#include "StudyRunner.h"

namespace py = pybind11;

namespace mkpy {
namespace {

py::object Number(double value) {
  return std::isnan(value) ? py::object(py::none()) : py::object(py::float_(value));
}

// The columns of `mkmanikin study`'s CSV, values in full precision.
py::list Rows(const mkstudy::StudyTask& task, const mkstudy::StudyResult& result) {
  py::list rows;
  for (const mkstudy::SubjectOutcome& s : result.subjects) {
    py::dict row;
    row["subject"] = s.identifier;
    row["sex"] = s.sex == 0 ? "female" : "male";
    row["status"] = s.status;
    row["within_bounds"] = s.withinBounds;
    row["stature"] = Number(s.stature);
    row["weight"] = Number(s.weight);
    row["sitting_height"] = Number(s.sittingHeight);
    row["span"] = Number(s.span);
    for (std::size_t c = 0; c < task.checks.size(); ++c) {
      const std::string& name = task.checks[c].name;
      row[py::str(name)] = Number(s.measured[c]);
      row[py::str(name + " pass")] = static_cast<bool>(s.passed[c]);
    }
    row["all pass"] = s.all;
    rows.append(row);
  }
  return rows;
}

py::list Study(const py::object& task, int jobs, const py::object& progress) {
  if (jobs < 1) throw py::value_error("jobs must be 1 or more");
  const std::string text =
      py::isinstance<py::str>(task)
          ? task.cast<std::string>()
          : py::module_::import("json").attr("dumps")(task).cast<std::string>();
  mkstudy::StudyTask parsed;
  try {
    parsed = mkstudy::ParseStudyTask(text, "task");
  } catch (const mkstudy::TaskError& e) {
    throw py::value_error(e.what());
  }
  // The runner calls back from its threads, one at a time; a callback that
  // raises is not called again, and its exception is raised at the end.
  std::optional<py::error_already_set> failed;
  mkstudy::Progress report;
  if (!progress.is_none())
    report = [&](std::size_t done, std::size_t total) {
      py::gil_scoped_acquire acquire;
      if (failed) return;
      try {
        progress(done, total);
      } catch (py::error_already_set& e) {
        failed = std::move(e);
      }
    };
  mkstudy::StudyResult result;
  try {
    py::gil_scoped_release release;
    result = mkstudy::RunStudy(parsed, jobs, report);
  } catch (const mkstudy::TaskError& e) {
    throw py::value_error(e.what());
  }
  if (failed) throw *failed;
  return Rows(parsed, result);
}

}  // namespace

void RegisterStudy(py::module_& module) {
  module.def("study", &Study, py::arg("task"), py::arg("jobs") = 1,
             py::arg("progress") = py::none(),
             "Runs an accommodation study (a task as a dict or JSON text, as "
             "`mkmanikin study` reads) on `jobs` threads; one dict per person with the "
             "columns of its CSV. `progress(done, total)` is called after each person.");
}

}  // namespace mkpy
