#pragma once

#include <string>

#include "TriangleMesh.h"

namespace mkcli {

// The mesh as a Wavefront OBJ text: `header` as comment lines, every vertex
// ("v") with its normal ("vn", same index), and the triangles ("f v//vn")
// under a "g" line per group; a facial feature gets its own group,
// "<group>_<feature>". Coordinates in centimetres to 0.1 micrometre.
std::string FormatObj(const TriangleMesh& mesh, const std::string& header);

const char* SurfaceName(Surface surface);

}  // namespace mkcli
