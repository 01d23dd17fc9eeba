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

// Captions scale with the picture: lines of TextHeight plus a gap.
struct CaptionStyle {
  explicit CaptionStyle(int height)
      : scale(std::max(1, height / 400)), lineHeight(TextHeight(scale) + 4 * scale) {}
  int scale, lineHeight;
};

// The lines broken at blanks so that each fits in `width` pixels where it can.
std::vector<std::string> Wrapped(const std::vector<std::string>& lines, double width,
                                 const CaptionStyle& style) {
  std::vector<std::string> wrapped;
  for (const std::string& line : lines) {
    std::string current;
    std::size_t start = 0;
    while (start <= line.size()) {
      const std::size_t end = std::min(line.find(' ', start), line.size());
      const std::string word = line.substr(start, end - start);
      const std::string longer = current.empty() ? word : current + " " + word;
      if (!current.empty() && TextWidth(longer, style.scale) > width) {
        wrapped.push_back(current);
        current = word;
      } else {
        current = longer;
      }
      start = end + 1;
    }
    wrapped.push_back(current);
  }
  return wrapped;
}

// Caption lines centred on `centre`, the first with its top at `top`.
void DrawCaption(Image& image, double centre, int top, const std::vector<std::string>& lines,
                 const CaptionStyle& style) {
  for (const std::string& line : lines) {
    DrawText(image, static_cast<int>(centre - 0.5 * TextWidth(line, style.scale)), top, line,
             style.scale, kCaption);
    top += style.lineHeight;
  }
}

}  // namespace

Image DrawFrontAndSide(const TriangleMesh& mesh, double floor, int width, int height,
                       const Paint* paint, const std::vector<std::string>& caption) {
  Canvas canvas(width, height, kBackground, Supersample(width, height));
  const View front = FrontView(), side = SideView();
  const Extent f = Project(mesh, front), s = Project(mesh, side);
  // Both views share the vertical extent; the floor line may lie above the lowest point.
  const double top = f.top, bottom = std::min(f.bottom, floor);
  const double tall = std::max(top - bottom, 1.0);
  const double gap = 0.12 * tall;  // between the two views, in centimetres
  const double margin = 0.05 * std::min(width, height);
  const CaptionStyle style(height);
  const std::vector<std::string> lines = Wrapped(caption, width - 2.0 * margin, style);
  const double captions =
      lines.empty() ? 0.0 : static_cast<double>(lines.size() * style.lineHeight) + margin;
  const double scale = std::min((height - 2.0 * margin - captions) / tall,
                                (width - 2.0 * margin) / (Width(f) + gap + Width(s)));
  const double base = height - margin - captions;  // where the lowest point lands
  const double left = 0.5 * (width - scale * (Width(f) + gap + Width(s)));
  canvas.Draw(mesh, {front, scale, left - scale * f.left, base + scale * bottom}, paint);
  const double sideLeft = left + scale * (Width(f) + gap);
  canvas.Draw(mesh, {side, scale, sideLeft - scale * s.left, base + scale * bottom}, paint);
  const double ground = base - scale * (floor - bottom);
  canvas.HorizontalLine(0.5 * margin, width - 0.5 * margin, ground + 1.0, 1.5, kGround);
  Image image = canvas.Resolve();
  DrawCaption(image, 0.5 * width, static_cast<int>(base + margin), lines, style);
  return image;
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
  const CaptionStyle style(height);
  const double margin = 0.04 * std::min(width, height);
  const double captions = static_cast<double>(lines * style.lineHeight) + margin;
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
  for (std::size_t i = 0; i < figures.size(); ++i)
    DrawCaption(image, 0.5 * margin + slot * (i + 0.5),
                static_cast<int>(ground - scale * bottom + 0.5 * margin), figures[i].caption,
                style);
  return image;
}

}  // namespace mkcli
