// The manikin in Python: creation, body dimensions, DOFs, postures and part
// records.
#include <pybind11/stl.h>

#include <nlohmann/json.hpp>

#include <cctype>
#include <sstream>

#include "AnthropometryTable.h"
#include "Bindings.h"
#include "CommandSupport.h"
#include "Failure.h"
#include "ManikinBuilder.h"
#include "NamedPostures.h"
#include "PostureJson.h"
#include "mkmanikin.h"

namespace py = pybind11;

namespace mkpy {
namespace {

// A DOF of a manikin's segment, which it keeps alive.
struct DOF {
  std::shared_ptr<Manikin> owner;
  MKDOF* dof;
  std::string segment;
  int index;
};

double Degrees(double radians) {
  return MKUnitConversions::RadiansToDegrees(radians);
}

// "female" and "male" in any case, or 0 and 1; anything else is left for the
// library to refuse.
int SexOf(const py::object& sex) {
  if (py::isinstance<py::str>(sex)) {
    std::string text = sex.cast<std::string>();
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text == "female" ? 0 : text == "male" ? 1 : -1;
  }
  if (py::isinstance<py::int_>(sex) && !py::isinstance<py::bool_>(sex)) {
    const long value = sex.cast<long>();
    return value == 0 || value == 1 ? static_cast<int>(value) : -1;
  }
  return -1;
}

void Warn(const std::vector<std::string>& warnings) {
  for (const std::string& warning : warnings)
    if (PyErr_WarnEx(PyExc_UserWarning, warning.c_str(), 1) != 0) throw py::error_already_set();
}

std::shared_ptr<Manikin> Create(const py::object& sex, double percentile,
                                const std::string& population,
                                const std::map<std::string, double>& fixed,
                                const std::map<std::string, double>& fixedPercentiles,
                                std::optional<double> accommodation) {
  mkcli::ManikinSpec spec;
  spec.sex = SexOf(sex);
  spec.percentile = percentile;
  spec.accommodation = accommodation;
  // An unknown population is the library's "no such database".
  MKDBAnthro* database = nullptr;
  try {
    database = &mkcli::FindPopulation(population);
    spec.population = population;
  } catch (const mkcli::Failure& e) {
    throw StatusError{MKStatusAnthroDB, e.what()};
  }
  for (const auto* requests : {&fixed, &fixedPercentiles}) {
    const bool isPercentile = requests == &fixedPercentiles;
    for (const auto& [name, number] : *requests) {
      const std::string acronym = mkcli::BareAcronym(name);
      if (!database->GetVariable(KelString(("<" + acronym + ">").c_str())))
        throw StatusError{MKStatusUserDBAnthro, name};
      std::ostringstream text;
      text << acronym << "=" << number;
      spec.fixes.push_back({isPercentile ? "fixed_percentiles" : "fixed", text.str(), acronym,
                            number, isPercentile});
    }
  }
  std::vector<std::string> warnings;
  auto made = std::make_shared<Manikin>(Manikin{mkcli::BuildManikin(spec, warnings), percentile});
  Warn(warnings);
  return made;
}

py::bytes ToBytes(const Manikin& m) {
  KelStreamDefinition stream;
  Check(m.Get().Write(stream).GetCode(), "the manikin could not be written");
  return py::bytes(stream.GetBuffer(), stream.GetLength());
}

std::shared_ptr<Manikin> FromBytes(const py::bytes& bytes) {
  const std::string data = bytes;
  KelStreamDefinition stream(data.data(), data.size());
  MKManikinPart* part = nullptr;
  const MKStatus status = MKManikinPart::ReadFromStream(stream, part);
  mkcli::ManikinPtr manikin(dynamic_cast<MKManikin*>(part));
  if (part && !manikin) part->Destroy();
  Check(status.GetCode(), "the bytes hold no manikin record");
  if (!manikin || !manikin->GetAnthro() || !manikin->GetBody())
    throw StatusError{MKStatusStreamContent, "the bytes hold no manikin record"};
  const MKAnthroVariable* stature = manikin->GetAnthro()->GetVariable("<STATURE>");
  const double percentile = stature ? stature->GetValueAsPercentile() : 50.0;
  return std::make_shared<Manikin>(Manikin{std::move(manikin), percentile});
}

DOF FindDOF(const std::shared_ptr<Manikin>& m, const std::string& segment, int index) {
  const MKBody* body = m->Get().GetBody();
  const MKSegment* found = body->GetSegment(MKConvertStringToShortName(segment.c_str()));
  if (!found) throw py::key_error("no segment named '" + segment + "'");
  MKDOF* dof = index >= 0 && index <= 2 ? found->GetDOF(index) : nullptr;
  if (!dof) throw py::index_error(segment + " has no DOF " + std::to_string(index));
  return DOF{m, dof, segment, index};
}

}  // namespace

py::dict PostureOf(const Manikin& m) {
  return py::module_::import("json").attr("loads")(mkcli::PostureToJson(m.Get()).dump());
}

void ApplyPosture(Manikin& m, const py::object& posture) {
  if (py::isinstance<py::str>(posture)) {
    const std::string name = posture.cast<std::string>();
    if (!mkcli::FindPosture(name))
      throw py::value_error("no posture named '" + name + "' (" + mkcli::PostureList() + ")");
    mkcli::ApplyNamedPosture(m.Get(), name);
    return;
  }
  const std::string text = py::module_::import("json").attr("dumps")(posture).cast<std::string>();
  std::vector<std::string> warnings;
  mkcli::ApplyPostureJson(m.Get(), nlohmann::json::parse(text), "posture", warnings);
  Warn(warnings);
}

namespace {

// The rows of `mkmanikin create --format json`.
py::list Records(const Manikin& m) {
  const std::string json = mkcli::FormatJson(mkcli::CollectAnthropometry(m.Get(), m.percentile));
  return py::module_::import("json").attr("loads")(json)["dimensions"];
}

}  // namespace

void RegisterManikin(py::module_& module, ManikinClass& manikin) {
  module.def(
      "postures",
      [] {
        std::map<std::string, std::string> postures;
        std::stringstream list(mkcli::PostureList());
        for (std::string name; std::getline(list, name, '|');)
          postures[name] = mkcli::FindPosture(name)->description;
        return postures;
      },
      "The built-in postures by name, with what each looks like.");

  manikin
      .def_static("create", &Create, py::arg("sex") = "male", py::arg("percentile") = 50.0,
                  py::arg("population") = "", py::arg("fixed") = std::map<std::string, double>(),
                  py::arg("fixed_percentiles") = std::map<std::string, double>(),
                  py::arg("accommodation") = py::none(),
                  "A manikin of a sex ('female' or 'male'), percentile and population (the "
                  "built-in one when empty, \"US ARMY 2012\" or a population CSV file), with "
                  "dimensions fixed in cm (kg for WEIGHT) or as percentiles; the others are "
                  "predicted.")
      .def_static("from_bytes", &FromBytes, py::arg("data"),
                  "A manikin read back from its part record.")
      .def("__repr__",
           [](const Manikin& m) {
             return "<Manikin " + mkcli::Describe(m.Get(), m.percentile) + ">";
           })
      .def("to_bytes", &ToBytes, "The manikin's part record, as Manikin.from_bytes reads it.")
      .def_property_readonly(
          "sex", [](const Manikin& m) { return mkcli::SexName(m.Get().GetAnthro()->GetSex()); })
      .def_property_readonly("percentile", [](const Manikin& m) { return m.percentile; })
      .def_property_readonly("population",
                             [](const Manikin& m) {
                               return mkcli::CollectAnthropometry(m.Get(), m.percentile).population;
                             })
      .def_property_readonly(
          "dimensions",
          [](const Manikin& m) {
            const py::object dimension = py::module_::import("mkmanikin").attr("Dimension");
            py::dict values;
            for (const auto& d : mkcli::CollectAnthropometry(m.Get(), m.percentile).dimensions)
              values[py::str(d.acronym)] = dimension(d.value);
            return values;
          },
          "Every body dimension by acronym as a Dimension: cm, or kg for WEIGHT.")
      .def("records", &Records,
           "Every body dimension as a dict (acronym, name, reference, unit, value, percentile, "
           "source: fixed or predicted, conditionalStdDev: None when fixed), in the "
           "population's order, as `mkmanikin create --format json` writes them: "
           "pandas.DataFrame(m.records()).")
      .def("dof", &FindDOF, py::arg("segment"), py::arg("index"),
           "The DOF 0, 1 or 2 of a segment named by its short name, e.g. dof('RSArAr', 0).")
      .def_property("posture", &PostureOf, &ApplyPosture,
                    "Every DOF in degrees by segment, [dof0, dof1, dof2] (None where the segment "
                    "has no such DOF); set it to such a dict, or to a built-in posture's name.");

  py::class_<DOF>(module, "DOF", "A degree of freedom of a segment; angles in degrees.")
      .def_readonly("segment", &DOF::segment)
      .def_readonly("index", &DOF::index)
      .def_property_readonly("name",
                             [](const DOF& d) {
                               return std::string(d.dof->GetName().ConvertToChar().CastToCharPtr());
                             })
      .def_property(
          "value", [](const DOF& d) { return Degrees(d.dof->GetMathematicalValue()); },
          [](DOF& d, double degrees) {
            Check(
                d.dof->SetMathematicalValue(MKUnitConversions::DegreesToRadians(degrees)).GetCode(),
                d.segment + "[" + std::to_string(d.index) + "]");
          },
          "The signed angle; set beyond the limits, it stops at the nearer one.")
      .def_property_readonly(
          "limits",
          [](const DOF& d) {
            // The library keeps the lower limit as a magnitude below zero.
            return std::make_pair(-Degrees(d.dof->GetMinLim(true)),
                                  Degrees(d.dof->GetMaxLim(true)));
          },
          "The lowest and highest signed angle the DOF takes.");
}

}  // namespace mkpy
