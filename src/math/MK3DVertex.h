#pragma once

// A point in space (centimetres in the manikin's frames).
class MK3DVertex {
 public:
  constexpr MK3DVertex() : x(0.0), y(0.0), z(0.0) {}
  constexpr MK3DVertex(double px, double py, double pz) : x(px), y(py), z(pz) {}
  MK3DVertex(const MK3DVertex&) = default;
  MK3DVertex& operator=(const MK3DVertex&) = default;

  double DistanceFrom(const MK3DVertex& other) const;

  double x;
  double y;
  double z;
};

// The process-wide origin (0, 0, 0).
const MK3DVertex& MKNULL3DVertex();
