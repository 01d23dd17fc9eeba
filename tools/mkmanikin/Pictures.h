#pragma once

#include <string>
#include <vector>

#include "Renderer.h"
#include "TriangleMesh.h"

namespace mkcli {

// The light background of every picture.
constexpr Rgb kBackground{244, 244, 240};

// A front view and a side view of one manikin side by side at one scale,
// filling a `width` x `height` picture, with a ground line at the height
// `floor`, its groups painted by `paint` (when given) and the caption lines
// centred under it, broken at blanks to fit the width.
Image DrawFrontAndSide(const TriangleMesh& mesh, double floor, int width, int height,
                       const Paint* paint = nullptr, const std::vector<std::string>& caption = {});

// Front views of several manikins side by side at one scale, each standing
// on the same ground line, each with its caption lines under it.
struct Figure {
  const TriangleMesh* mesh;
  std::vector<std::string> caption;
};
Image DrawLineUp(const std::vector<Figure>& figures, int width, int height);

}  // namespace mkcli
