#pragma once

// The Liberty Mutual manual materials handling equations of 2021 (Potvin,
// Ciriello, Snook, Maynard and Brogmus): the maximum acceptable load of a
// task is a reference load times one scale factor per task variable, for
// half of the population; other population percentages follow from the
// equation's coefficient of variation under a normal model.
class MKLibertyMutual2021 {
 public:
  enum Task : int {
    sLift = 0,
    sLower = 1,
    sPushInitial = 2,
    sPushSustained = 3,
    sPullInitial = 4,
    sPullSustained = 5,
    sCarry = 6
  };

  // SF = c0 + a1 x + a2 x^2, x the variable or its natural logarithm.
  struct Factor {
    bool ln;
    double c0, a1, a2;
  };
  // Scale factors in the order H, VRM, DV, F (lift, lower) or V, DH, F.
  struct Equation {
    double rl;  // reference load, kg (kgf for forces)
    double cv;  // coefficient of variation
    int count;
    Factor factors[4];
  };
  // [task * 2 + sex], sex 0 female, 1 male.
  static const Equation sEquations[14];

  // The task variables, in metres and exertions per minute: lift and lower
  // use h, vrm (middle of the vertical range), dv (vertical travel) and f;
  // push, pull and carry use v (height of the hands), dh (distance) and f.
  struct Inputs {
    double h, vrm, dv, v, dh, f;
  };

  // Sets each variable into the equations' published range for the task and
  // sex; true when one had to move, or when a combined limit (travel rate,
  // top of the lift above arm reach) is exceeded, which cannot be clamped.
  static bool Clamp(Task task, int sex, Inputs& inputs);
  // The scale factors of the task (count of the equation), and their product
  // with the reference load: the load acceptable to 50 % (kg).
  static double Compute(Task task, int sex, const Inputs& inputs, double* factors);
  // The load acceptable to `percentage` % of the population, from the 50 %
  // load and the equation's coefficient of variation.
  static double AtPercentage(double mal50, double cv, double percentage);
  // The percentage of the population that accepts `load`.
  static double PercentCapable(double mal50, double cv, double load);
  // Standard gravity: kg to newtons.
  static constexpr double sGravity = 9.80665;
};
