#include "Pictures.h"

#include <algorithm>

#include "Text.h"

namespace mkcli {
namespace {

constexpr Rgb kGround{190, 190, 184};
constexpr Rgb kCaption{70, 70, 70};

// Three samples a side smooth the edges; large pictures take fewer, so that
// the canvas stays within about 24 million samples.
int Supersample(int width, int height) {
  const double pixels = static_cast<double>(width) * height;
  int factor = 3;
  while (factor > 1 && pixels * factor * factor > 24e6) --factor;
  return factor;
}

double Width(const Extent& e) {
  return e.right - e.left;
}

}  // namespace

Image DrawFrontAndSide(const TriangleMesh& mesh, double floor, int width, int height) {
  Canvas canvas(width, height, kBackground, Supersample(width, height));
  const View front = FrontView(), side = SideView();
  const Extent f = Project(mesh, front), s = Project(mesh, side);
  // Both views share the vertical extent; the floor line may lie above the lowest point.
  const double top = f.top, bottom = std::min(f.bottom, floor);
  const double tall = std::max(top - bottom, 1.0);
  const double gap = 0.12 * tall;  // between the two views, in centimetres
  const double margin = 0.05 * std::min(width, height);
  const double scale = std::min((height - 2.0 * margin) / tall,
                                (width - 2.0 * margin) / (Width(f) + gap + Width(s)));
  const double base = height - margin;  // where the lowest point lands
  const double left = 0.5 * (width - scale * (Width(f) + gap + Width(s)));
  canvas.Draw(mesh, {front, scale, left - scale * f.left, base + scale * bottom});
  const double sideLeft = left + scale * (Width(f) + gap);
  canvas.Draw(mesh, {side, scale, sideLeft - scale * s.left, base + scale * bottom});
  const double ground = base - scale * (floor - bottom);
  canvas.HorizontalLine(0.5 * margin, width - 0.5 * margin, ground + 1.0, 1.5, kGround);
  return canvas.Resolve();
}

Image DrawLineUp(const std::vector<Figure>& figures, int width, int height) {
  Canvas canvas(width, height, kBackground, Supersample(width, height));
  const View front = FrontView();
  std::size_t lines = 0;
  // Figures stand on y = 0; anything below the floor is shown too.
  double top = 1.0, bottom = 0.0, wide = 1.0;
  std::vector<Extent> extents;
  for (const Figure& figure : figures) {
    extents.push_back(Project(*figure.mesh, front));
    lines = std::max(lines, figure.caption.size());
    top = std::max(top, extents.back().top);
    bottom = std::min(bottom, extents.back().bottom);
    wide = std::max(wide, Width(extents.back()));
  }
  const int textScale = std::max(1, height / 400);
  const int lineHeight = TextHeight(textScale) + 4 * textScale;
  const double margin = 0.04 * std::min(width, height);
  const double captions = lines * lineHeight + margin;
  const double slot = figures.empty() ? width : (width - margin) / figures.size();
  const double scale = std::min((height - margin - captions) / (top - bottom), 0.85 * slot / wide);
  const double ground = margin + scale * top;
  for (std::size_t i = 0; i < figures.size(); ++i) {
    const double centre = 0.5 * margin + slot * (i + 0.5);
    const Extent& e = extents[i];
    canvas.Draw(*figures[i].mesh,
                {front, scale, centre - scale * 0.5 * (e.left + e.right), ground});
  }
  canvas.HorizontalLine(0.5 * margin, width - 0.5 * margin, ground + 1.0, 1.5, kGround);
  Image image = canvas.Resolve();
  for (std::size_t i = 0; i < figures.size(); ++i) {
    const double centre = 0.5 * margin + slot * (i + 0.5);
    int y = static_cast<int>(ground - scale * bottom + 0.5 * margin);
    for (const std::string& line : figures[i].caption) {
      DrawText(image, static_cast<int>(centre - 0.5 * TextWidth(line, textScale)), y, line,
               textScale, kCaption);
      y += lineHeight;
    }
  }
  return image;
}

}  // namespace mkcli
