#pragma once

class KelMathVector;
class MKMesh;
class MK3DVertex;

// Numeric helpers. Angles are in degrees. The normal-distribution functions interpolate in two
// 181-entry tables rather than evaluating the error function, and clamp beyond 4.5 standard
// deviations.
class MKMathRoutines {
 public:
  static double Cos(double degrees);
  static double Sin(double degrees);
  static double Tan(double degrees);
  // 0.0 outside [-1, 1].
  static double ACos(double x);
  static double ATan(double x);

  static double Length(double a, double b);
  // The other full axis of an ellipse of perimeter c and full axis b, from the approximation
  // perimeter = pi * sqrt((A^2 + B^2) / 2).
  static double CircAxe(double c, double b);

  // Cumulative probability of value; 0.5 +- 0.4999 beyond 4.5 standard deviations.
  static double Gauss(double mean, double stdDev, double value);
  // 100 * Gauss.
  static double GaussianPercentileFromValue(double mean, double stdDev, double value);
  // The value at cumulative probability p. p below 0 answers 0.0 and p above 1 answers 4.0, both
  // as they are (not scaled by mean and stdDev); a NaN p answers MKIEEE::NaN().
  static double GaussInv(double mean, double stdDev, double p);
  // GaussInv at percentile / 100.
  static double GaussianValueFromPercentile(double mean, double stdDev, double percentile);

  // p inside triangle abc in the floor plane (x, z), edges included. False for a triangle with two
  // corners sharing x or z exactly.
  static bool PointInTriangle(const MK3DVertex& p, const MK3DVertex& a, const MK3DVertex& b,
                              const MK3DVertex& c);
  // p inside triangle abc within the triangle's own plane (p at most 1.1920929e-07 from it).
  static bool PointInTriangle(const KelMathVector& p, const KelMathVector& a,
                              const KelMathVector& b, const KelMathVector& c);
  // Whether a polygon (an MKMesh of type 1, vertices in order) contains p:
  // first the triangles of three consecutive vertices, then the fan from
  // vertex 0; true as soon as one contains p. False for any other type.
  static bool ContainsVertex(const MKMesh& polygon, const MK3DVertex& p);
  static bool ContainsVertex(const MKMesh& polygon, const KelMathVector& p);
};
