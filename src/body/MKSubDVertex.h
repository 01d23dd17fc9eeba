#pragma once

// One vertex of the head's subdivision base mesh, placed from two anchors on
// ellipses. An anchor names its ellipse by short name (as the skin file
// gives it) and, once resolved against a body, by segment index and index
// of the ellipse within that segment; its four parameters place the vertex
// relative to that ellipse (tools/gen_skin_files.py states the rule) and the
// fifth stays 0.
class MKSubDVertex {
 public:
  struct Anchor {
    int segmentIndex;
    int ellipseIndex;
    int ellipseShortName;
    double parameters[5];
  };

  MKSubDVertex() : anchors{} {}
  MKSubDVertex(const MKSubDVertex&) = default;
  MKSubDVertex& operator=(const MKSubDVertex&) = default;

  Anchor anchors[2];
};
