// The Python module mkmanikin: the manikin, its analyses and its skin.
#include <pybind11/eval.h>

#include "Bindings.h"
#include "host/MKVersion.h"

namespace py = pybind11;

PYBIND11_MODULE(mkmanikin, module) {
  module.doc() = "libMKManikin, a digital human for ergonomic studies, from Python.";
  module.attr("__version__") = MKMANIKIN_VERSION_STRING;
  // A body dimension is an exact float that prints to the 0.1 cm (0.1 kg) the
  // surveys measured to, as the tool's tables do: print(d["STATURE"]) says
  // 152.5 while arithmetic, NumPy and pandas see every digit.
  py::exec(R"(
class Dimension(float):
    """A body dimension: an exact float that prints to the 0.1 of the surveys."""
    __slots__ = ()
    def __repr__(self):
        return f"{float(self):.1f}"
    __str__ = __repr__
)",
           module.attr("__dict__"));
  module.attr("Dimension").attr("__module__") = "mkmanikin";
  mkpy::RegisterErrors(module);
  mkpy::ManikinClass manikin(module, "Manikin",
                             "A manikin: Manikin.create(sex=, percentile=, population=, fixed=).");
  mkpy::RegisterManikin(module, manikin);
  mkpy::RegisterAnalyses(module, manikin);
  mkpy::RegisterSkin(module, manikin);
  mkpy::RegisterStudy(module);
}
