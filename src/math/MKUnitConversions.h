#pragma once

// Unit factors; each conversion is a single multiplication by a fixed factor.
class MKUnitConversions {
 public:
  static double DegreesToRadians(double x);
  static double RadiansToDegrees(double x);
  static double MetersToFeet(double x);
  static double MetersToInches(double x);
  static double CentimetersToFeet(double x);
  static double CentimetersToInches(double x);
  static double InchesToMeters(double x);
  static double KgToLb(double x);
  static double LbToKg(double x);
  static double LbfToNewtons(double x);
  static double mmHgTokPa(double x);
};
