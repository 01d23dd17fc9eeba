// Statuses of the library as one Python exception class, MKError, carrying
// the code and the catalogue's text.
#include <cstdlib>
#include <regex>

#include "Bindings.h"
#include "Failure.h"
#include "parts/MKStatus.h"

namespace py = pybind11;

namespace mkpy {
namespace {

// Created once with the module and never released: exceptions may be raised
// until the interpreter ends.
PyObject* errorType = nullptr;

std::string CatalogueText(int code) {
  const std::string text = MKStatus(code).GetUnicodeStatusMessage().ConvertToChar().CastToCharPtr();
  // The catalogue answers "@key" for a code it does not know.
  return !text.empty() && text[0] == '@' ? std::string() : text;
}

void Raise(int code, const std::string& detail) {
  const std::string text = CatalogueText(code);
  std::string message = detail.empty() ? text : detail;
  if (!detail.empty() && !text.empty() && detail.find(text) == std::string::npos)
    message = detail + ": " + text;
  if (message.find("(status ") == std::string::npos)
    message += " (status " + std::to_string(code) + ")";
  py::object error = py::reinterpret_borrow<py::object>(errorType)(message);
  error.attr("code") = code;
  error.attr("text") = text;
  PyErr_SetObject(errorType, error.ptr());
}

}  // namespace

void Check(int code, const std::string& detail) {
  if (code != 0) throw StatusError{code, detail};
}

void RegisterErrors(py::module_& module) {
  errorType = PyErr_NewExceptionWithDoc(
      "mkmanikin.MKError",
      "A status of the library other than success: `code` is its number, `text` the "
      "catalogue's text for it.",
      PyExc_RuntimeError, nullptr);
  module.attr("MKError") = py::reinterpret_borrow<py::object>(errorType);
  py::register_exception_translator([](std::exception_ptr thrown) {
    try {
      if (thrown) std::rethrow_exception(thrown);
    } catch (const StatusError& e) {
      Raise(e.code, e.detail);
    } catch (const mkcli::Failure& e) {
      // The tool's pieces name a library status as "... (status N)".
      static const std::regex status(R"(\(status (\d+)\))");
      std::smatch found;
      const std::string what = e.what();
      if (std::regex_search(what, found, status))
        Raise(std::atoi(found[1].str().c_str()), what);
      else if (e.Code() == mkcli::kExitUsage)
        PyErr_SetString(PyExc_ValueError, what.c_str());
      else
        PyErr_SetString(PyExc_OSError, what.c_str());
    }
  });
}

}  // namespace mkpy
