#pragma once

// The host's names for the three DOFs of a segment (axes X, Y, Z).
enum MKKEDOF : int { MKKDOF1 = 0, MKKDOF2 = 1, MKKDOF3 = 2 };
