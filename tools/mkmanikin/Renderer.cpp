#include "Renderer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace mkcli {
namespace {

constexpr double kAmbient = 0.30;
constexpr double kKey = 0.62;
constexpr double kFill = 0.18;

std::uint8_t Channel(double value) {
  return static_cast<std::uint8_t>(std::lround(std::clamp(value, 0.0, 255.0)));
}

double EdgeFunction(double ax, double ay, double bx, double by, double px, double py) {
  return (bx - ax) * (py - ay) - (by - ay) * (px - ax);
}

}  // namespace

Image::Image(int width, int height, Rgb fill)
    : width(width), height(height), bytes(static_cast<std::size_t>(width) * height * 3) {
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    bytes[i] = fill.r;
    bytes[i + 1] = fill.g;
    bytes[i + 2] = fill.b;
  }
}

Rgb Image::At(int x, int y) const {
  const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
  return {bytes[i], bytes[i + 1], bytes[i + 2]};
}

void Image::Set(int x, int y, Rgb c) {
  if (x < 0 || y < 0 || x >= width || y >= height) return;
  const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
  bytes[i] = c.r;
  bytes[i + 1] = c.g;
  bytes[i + 2] = c.b;
}

View FrontView() {
  return {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
}

View SideView() {
  return {{0, 0, 1}, {0, 1, 0}, {-1, 0, 0}};
}

Extent Project(const TriangleMesh& mesh, const View& view) {
  Extent e{std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest(),
           std::numeric_limits<double>::max(), std::numeric_limits<double>::lowest()};
  for (const Vec3& p : mesh.Positions()) {
    const double x = Dot(p, view.right), y = Dot(p, view.up);
    e.left = std::min(e.left, x);
    e.right = std::max(e.right, x);
    e.bottom = std::min(e.bottom, y);
    e.top = std::max(e.top, y);
  }
  return e;
}

Rgb SurfaceColour(Surface surface) {
  switch (surface) {
    case Surface::Hair:
      return {92, 64, 46};
    case Surface::Eyebrows:
      return {70, 50, 38};
    case Surface::Eyelids:
      return {206, 160, 132};
    case Surface::EyeWhites:
      return {246, 246, 240};
    case Surface::Irises:
      return {74, 112, 150};
    case Surface::Pupils:
      return {20, 20, 24};
    case Surface::Lips:
      return {184, 96, 92};
    case Surface::Skin:
      break;
  }
  return {226, 188, 160};
}

Canvas::Canvas(int width, int height, Rgb background, int supersample)
    : width(width * supersample),
      height(height * supersample),
      factor(supersample),
      depth(static_cast<std::size_t>(this->width) * this->height,
            -std::numeric_limits<float>::infinity()),
      colour(static_cast<std::size_t>(this->width) * this->height, background) {}

void Canvas::Draw(const TriangleMesh& mesh, const Placement& placement, const Paint* paint) {
  const View& view = placement.view;
  const double s = placement.scale * factor;
  const std::vector<Vec3>& positions = mesh.Positions();
  const std::vector<Vec3>& normals = mesh.Normals();
  for (std::size_t i = 0; i < mesh.TriangleCount(); ++i) {
    const TriangleMesh::Triangle& t = mesh.Triangles()[i];
    double x[3], y[3], z[3];
    Vec3 n[3];
    // Seen from behind (the inside of an open end): the normals turn to the viewer.
    const double side = Dot(mesh.AreaNormal(i), view.toward) < 0.0 ? -1.0 : 1.0;
    for (int k = 0; k < 3; ++k) {
      const Vec3& p = positions[t.v[k]];
      x[k] = placement.offsetX * factor + s * Dot(p, view.right);
      y[k] = placement.offsetY * factor - s * Dot(p, view.up);
      z[k] = Dot(p, view.toward);
      // Without a normal for every vertex the triangle is shaded flat.
      n[k] =
          (normals.size() != positions.size() ? Normalized(mesh.AreaNormal(i)) : normals[t.v[k]]) *
          side;
    }
    const double area = EdgeFunction(x[0], y[0], x[1], y[1], x[2], y[2]);
    if (std::fabs(area) < 1e-12) continue;
    const int x0 = std::max(0, static_cast<int>(std::floor(std::min({x[0], x[1], x[2]}))));
    const int x1 = std::min(width - 1, static_cast<int>(std::ceil(std::max({x[0], x[1], x[2]}))));
    const int y0 = std::max(0, static_cast<int>(std::floor(std::min({y[0], y[1], y[2]}))));
    const int y1 = std::min(height - 1, static_cast<int>(std::ceil(std::max({y[0], y[1], y[2]}))));
    const bool painted = paint && t.group < paint->size() && (*paint)[t.group];
    const Rgb base = painted ? *(*paint)[t.group] : SurfaceColour(t.surface);
    for (int py = y0; py <= y1; ++py) {
      for (int px = x0; px <= x1; ++px) {
        const double cx = px + 0.5, cy = py + 0.5;
        // Barycentric weights; all of one sign inside, whichever the winding.
        const double w0 = EdgeFunction(x[1], y[1], x[2], y[2], cx, cy) / area;
        const double w1 = EdgeFunction(x[2], y[2], x[0], y[0], cx, cy) / area;
        const double w2 = 1.0 - w0 - w1;
        if (w0 < 0.0 || w1 < 0.0 || w2 < 0.0) continue;
        const double d = w0 * z[0] + w1 * z[1] + w2 * z[2];
        Shade(px, py, d, n[0] * w0 + n[1] * w1 + n[2] * w2, base, view);
      }
    }
  }
}

void Canvas::Shade(int x, int y, double d, Vec3 normal, Rgb base, const View& view) {
  const std::size_t i = static_cast<std::size_t>(y) * width + x;
  if (!(d > depth[i])) return;
  depth[i] = static_cast<float>(d);
  Vec3 n = Normalized(normal);
  // Near an outline the smoothed normal may lean away from the viewer: keep it on the outline.
  const double away = Dot(n, view.toward);
  if (away < 0.0) n = Normalized(n - view.toward * away);
  const Vec3 key = Normalized(view.right * -0.45 + view.up * 0.55 + view.toward * 0.70);
  const Vec3 fill = Normalized(view.right * 0.60 + view.up * 0.10 + view.toward * 0.50);
  const double light =
      kAmbient + kKey * std::max(0.0, Dot(n, key)) + kFill * std::max(0.0, Dot(n, fill));
  colour[i] = {Channel(base.r * light), Channel(base.g * light), Channel(base.b * light)};
}

void Canvas::HorizontalLine(double x0, double x1, double y, double thickness, Rgb c) {
  const int top = static_cast<int>(std::lround((y - 0.5 * thickness) * factor));
  const int bottom = static_cast<int>(std::lround((y + 0.5 * thickness) * factor));
  const int left = std::max(0, static_cast<int>(std::lround(x0 * factor)));
  const int right = std::min(width, static_cast<int>(std::lround(x1 * factor)));
  for (int py = std::max(0, top); py < std::min(height, bottom); ++py)
    for (int px = left; px < right; ++px) {
      const std::size_t i = static_cast<std::size_t>(py) * width + px;
      if (depth[i] == -std::numeric_limits<float>::infinity()) colour[i] = c;
    }
}

Image Canvas::Resolve() const {
  Image image(width / factor, height / factor, {0, 0, 0});
  const int samples = factor * factor;
  for (int y = 0; y < image.Height(); ++y)
    for (int x = 0; x < image.Width(); ++x) {
      int r = 0, g = 0, b = 0;
      for (int sy = 0; sy < factor; ++sy)
        for (int sx = 0; sx < factor; ++sx) {
          const Rgb c = colour[static_cast<std::size_t>(y * factor + sy) * width + x * factor + sx];
          r += c.r;
          g += c.g;
          b += c.b;
        }
      image.Set(x, y,
                {static_cast<std::uint8_t>((r + samples / 2) / samples),
                 static_cast<std::uint8_t>((g + samples / 2) / samples),
                 static_cast<std::uint8_t>((b + samples / 2) / samples)});
    }
  return image;
}

}  // namespace mkcli
