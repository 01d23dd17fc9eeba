#include "ObjWriter.h"

#include "Numbers.h"

namespace mkcli {
namespace {

void AppendTriple(std::string& text, const char* tag, const Vec3& p, int decimals) {
  text += tag;
  for (double c : {p.x, p.y, p.z}) {
    text += ' ';
    text += FixedText(c, decimals);
  }
  text += '\n';
}

}  // namespace

const char* SurfaceName(Surface surface) {
  switch (surface) {
    case Surface::Hair:
      return "hair";
    case Surface::Eyebrows:
      return "eyebrows";
    case Surface::Eyelids:
      return "eyelids";
    case Surface::EyeWhites:
      return "eye_whites";
    case Surface::Irises:
      return "irises";
    case Surface::Pupils:
      return "pupils";
    case Surface::Lips:
      return "lips";
    case Surface::Skin:
      break;
  }
  return "skin";
}

std::string FormatObj(const TriangleMesh& mesh, const std::string& header) {
  std::string text;
  std::size_t start = 0;
  while (start < header.size()) {
    const std::size_t end = header.find('\n', start);
    text += "# " + header.substr(start, end - start) + "\n";
    if (end == std::string::npos) break;
    start = end + 1;
  }
  const std::vector<Vec3>& positions = mesh.Positions();
  const std::vector<Vec3>& normals = mesh.Normals();
  text.reserve(text.size() + positions.size() * 70 + mesh.TriangleCount() * 40);
  for (const Vec3& p : positions) AppendTriple(text, "v", p, 4);
  for (std::size_t i = 0; i < positions.size(); ++i)
    AppendTriple(text, "vn", i < normals.size() ? normals[i] : Vec3{}, 4);
  std::string current;
  for (const TriangleMesh::Triangle& t : mesh.Triangles()) {
    std::string group = mesh.GroupNames()[t.group];
    if (t.surface != Surface::Skin) group += std::string("_") + SurfaceName(t.surface);
    if (group != current) {
      text += "g " + group + "\n";
      current = group;
    }
    text += 'f';
    for (std::uint32_t v : t.v) {
      const std::string index = std::to_string(v + 1);
      text += ' ' + index + "//" + index;
    }
    text += '\n';
  }
  return text;
}

}  // namespace mkcli
