// The skin as NumPy arrays, and the tool's OBJ and PNG writers.
#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include "Bindings.h"
#include "CommandSupport.h"
#include "ObjWriter.h"
#include "OutputFiles.h"
#include "Pictures.h"
#include "SkinMesh.h"

namespace py = pybind11;

namespace mkpy {
namespace {

// The skin of a manikin as posed when it was taken.
struct Skin {
  mkcli::TriangleMesh mesh;
  std::string header;  // of the OBJ file
};

py::array_t<double> Points(const std::vector<mkcli::Vec3>& points) {
  py::array_t<double> array({static_cast<py::ssize_t>(points.size()), py::ssize_t{3}});
  auto out = array.mutable_unchecked<2>();
  for (std::size_t i = 0; i < points.size(); ++i) {
    const auto row = static_cast<py::ssize_t>(i);
    out(row, 0) = points[i].x;
    out(row, 1) = points[i].y;
    out(row, 2) = points[i].z;
  }
  return array;
}

void Write(const std::string& path, const std::string& contents) {
  mkcli::OutputFiles files;
  files.Stage(path, "path", contents);
  files.Commit();
}

}  // namespace

void RegisterSkin(py::module_& module, ManikinClass& manikin) {
  py::class_<Skin>(module, "Skin", "A triangle mesh in world space: cm, Y up, facing +Z.")
      .def_property_readonly("vertices", [](const Skin& s) { return Points(s.mesh.Positions()); })
      .def_property_readonly(
          "normals", [](const Skin& s) { return Points(s.mesh.Normals()); },
          "One outward unit normal per vertex.")
      .def_property_readonly(
          "triangles",
          [](const Skin& s) {
            const auto& triangles = s.mesh.Triangles();
            py::array_t<std::uint32_t> array(
                {static_cast<py::ssize_t>(triangles.size()), py::ssize_t{3}});
            auto out = array.mutable_unchecked<2>();
            for (std::size_t t = 0; t < triangles.size(); ++t)
              for (py::ssize_t k = 0; k < 3; ++k)
                out(static_cast<py::ssize_t>(t), k) = triangles[t].v[k];
            return array;
          },
          "Vertex indices, counter-clockwise seen from outside.")
      .def_property_readonly(
          "triangle_groups",
          [](const Skin& s) {
            std::vector<std::uint32_t> groups;
            for (const auto& t : s.mesh.Triangles()) groups.push_back(t.group);
            return py::array_t<std::uint32_t>(static_cast<py::ssize_t>(groups.size()),
                                              groups.data());
          },
          "Each triangle's index into groups.")
      .def_property_readonly(
          "groups", [](const Skin& s) { return s.mesh.GroupNames(); },
          "Group names: the segments' short names and the head's features.")
      .def(
          "write_obj",
          [](const Skin& s, const std::string& path) {
            Write(path, mkcli::FormatObj(s.mesh, s.header));
          },
          py::arg("path"), "Writes the skin as a Wavefront OBJ file.");

  manikin
      .def(
          "skin",
          [](Manikin& m) {
            return Skin{mkcli::BuildSkinMesh(m.Get()),
                        mkcli::ObjHeader(m.Get(), m.percentile, "current")};
          },
          "The skin in the current posture.")
      .def(
          "write_png",
          [](Manikin& m, const std::string& path, int width, int height) {
            if (width < 16 || height < 16 || width > 8192 || height > 8192)
              throw py::value_error("width and height must lie between 16 and 8192 pixels");
            const mkcli::TriangleMesh mesh = mkcli::BuildSkinMesh(m.Get());
            Write(path, mkcli::PngOf(mkcli::DrawFrontAndSide(
                            mesh, mkcli::FloorHeight(m.Get()), width, height, nullptr,
                            {mkcli::Describe(m.Get(), m.percentile)})));
          },
          py::arg("path"), py::arg("width") = 800, py::arg("height") = 1000,
          "Writes a front and a side view of the manikin as a PNG picture.");
}

}  // namespace mkpy
