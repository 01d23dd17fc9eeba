#include "math/MKUnitConversions.h"

namespace {

constexpr double kPi = 3.14159265358979323846;
constexpr double kDegreesToRadians = kPi / 180.0;
constexpr double kRadiansToDegrees = 180.0 / kPi;

}  // namespace

double MKUnitConversions::DegreesToRadians(double x) {
  return x * kDegreesToRadians;
}
double MKUnitConversions::RadiansToDegrees(double x) {
  return x * kRadiansToDegrees;
}
double MKUnitConversions::MetersToFeet(double x) {
  return x * 3.28083989501;
}
double MKUnitConversions::MetersToInches(double x) {
  return x * 39.370078740157;
}
double MKUnitConversions::CentimetersToFeet(double x) {
  return x * 0.0328083989501;
}
double MKUnitConversions::CentimetersToInches(double x) {
  return x * 0.39370078740157;
}
double MKUnitConversions::InchesToMeters(double x) {
  return x * 0.0254;
}
double MKUnitConversions::KgToLb(double x) {
  return x * 2.20462262185;
}
double MKUnitConversions::LbToKg(double x) {
  return x * 0.45359237;
}
double MKUnitConversions::LbfToNewtons(double x) {
  return x * 4.4483827704;
}
double MKUnitConversions::mmHgTokPa(double x) {
  return x * 0.13332;
}
