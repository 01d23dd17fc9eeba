#pragma once

// Predefined postures of a body; 0 to 2 are also the construction types of
// an anthropometry (none, standing, sitting). Values 3 to 6 are further arm
// and leg postures of MKBody::SetPosture.
enum MKPostureSpec : int { MKPostureNone = 0, MKPostureStanding = 1, MKPostureSitting = 2 };
