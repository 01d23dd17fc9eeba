#pragma once

// The pieces of the Python module: one registration function per file, and
// the manikin object the others work on.

#include <pybind11/pybind11.h>

#include <memory>
#include <string>

#include "ManikinBuilder.h"

class MKManikin;

namespace mkpy {

// A manikin owned by Python, with the percentile it was made at (NaN for
// one read from bytes).
struct Manikin {
  mkcli::ManikinPtr manikin;
  double percentile;
  MKManikin& Get() const { return *manikin; }
};

// A library status other than success, raised in Python as MKError.
struct StatusError {
  int code;
  std::string detail;  // what failed, in words; may be empty
};

using ManikinClass = pybind11::class_<Manikin, std::shared_ptr<Manikin>>;

// Throws StatusError for any code but 0.
void Check(int code, const std::string& detail);

// Every DOF in degrees by segment (Manikin.posture), and setting it from
// such a dict or a built-in posture's name.
pybind11::dict PostureOf(const Manikin& m);
void ApplyPosture(Manikin& m, const pybind11::object& posture);

void RegisterErrors(pybind11::module_& module);
void RegisterManikin(pybind11::module_& module, ManikinClass& manikin);
void RegisterAnalyses(pybind11::module_& module, ManikinClass& manikin);
void RegisterSkin(pybind11::module_& module, ManikinClass& manikin);
void RegisterStudy(pybind11::module_& module);

}  // namespace mkpy
