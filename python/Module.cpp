// The Python module mkmanikin: the manikin, its analyses and its skin.
#include "Bindings.h"
#include "host/MKVersion.h"

namespace py = pybind11;

PYBIND11_MODULE(mkmanikin, module) {
  module.doc() = "libMKManikin, a digital human for ergonomic studies, from Python.";
  module.attr("__version__") = MKMANIKIN_VERSION_STRING;
  mkpy::RegisterErrors(module);
  mkpy::ManikinClass manikin(module, "Manikin",
                             "A manikin: Manikin.create(sex=, percentile=, population=, fixed=).");
  mkpy::RegisterManikin(module, manikin);
  mkpy::RegisterAnalyses(module, manikin);
  mkpy::RegisterSkin(module, manikin);
  mkpy::RegisterStudy(module);
}
