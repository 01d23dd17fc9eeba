#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "Geometry.h"
#include "TriangleMesh.h"

namespace mkcli {

struct Rgb {
  std::uint8_t r, g, b;
};

// An 8-bit RGB picture, rows from the top.
class Image {
 public:
  Image(int width, int height, Rgb fill);
  int Width() const { return width; }
  int Height() const { return height; }
  Rgb At(int x, int y) const;
  void Set(int x, int y, Rgb colour);
  const std::vector<std::uint8_t>& Bytes() const { return bytes; }

 private:
  int width, height;
  std::vector<std::uint8_t> bytes;
};

// An orthographic camera: the picture's right and up directions and the
// direction towards the viewer, in the manikin's world frame.
struct View {
  Vec3 right, up, toward;
};
// The manikin's front (it faces +Z).
View FrontView();
// The manikin's right side, its face turned to the right of the picture.
View SideView();

// Where a mesh lands: picture x = offsetX + scale * (p . right), picture
// y = offsetY - scale * (p . up), in pixels of the final picture.
struct Placement {
  View view;
  double scale;
  double offsetX, offsetY;
};

// Extent of a mesh along a view's right and up directions.
struct Extent {
  double left, right, bottom, top;
};
Extent Project(const TriangleMesh& mesh, const View& view);

// Colours that replace the surface colour of whole groups of a mesh, by
// group index; a group without a colour, or beyond the list, keeps its own.
using Paint = std::vector<std::optional<Rgb>>;

// A small software renderer: z-buffered triangles, Lambert shading of the
// interpolated normals under a key and a fill light, drawn `supersample`
// times finer in each direction and averaged down.
class Canvas {
 public:
  Canvas(int width, int height, Rgb background, int supersample = 3);

  void Draw(const TriangleMesh& mesh, const Placement& placement, const Paint* paint = nullptr);
  // A horizontal line of the final picture's pixels from x0 to x1 at y.
  void HorizontalLine(double x0, double x1, double y, double thickness, Rgb colour);
  Image Resolve() const;

 private:
  void Shade(int x, int y, double depth, Vec3 normal, Rgb base, const View& view);

  int width, height, factor;
  std::vector<float> depth;
  std::vector<Rgb> colour;
};

// The colour a surface is painted with.
Rgb SurfaceColour(Surface surface);

}  // namespace mkcli
