#pragma once

// Short names identify every named element of the body model: segments,
// ellipses, the body itself, its centre of gravity, skin elements and lines of
// sight. The value is what the model stores and passes around; the text is
// what is shown and what is parsed back.
//
// A name is <side><kind marker><region><element>: side "R", "L", "M" or none
// for the midline; marker "S" segment, "E" ellipse, "Sk" skin element, "L"
// line of sight. The lists below hold (side, region + element) once per
// element; both the enumerators and their texts are generated from them, so
// the two cannot drift apart. Skin elements reuse the segment list.
//
// A list is expanded with two macros: FIRST for its first entry, which carries
// the base value of the range, and X for every following entry. Limb lists are
// written once and expanded for each side, which keeps the mirrored ranges
// aligned (left segment = right + 32, right ellipse = left + 44).

// clang-format off

// Segments 0..98: trunk and head 0..34, right limbs 35..66, left limbs 67..98.
#define MK_SHORT_NAME_SEGMENTS(FIRST, X) \
  FIRST(, BoPh) X(, BoTIp) X(R, BoIlp) X(L, BoIlp) \
  X(, BoL5) X(, BoL4) X(, BoL3) X(, BoL2) X(, BoL1) \
  X(, BoT12) X(, BoT11) X(, BoT10) X(, BoT9) X(, BoT8) X(, BoT7) \
  X(, BoT6) X(, BoT5) X(, BoT4) X(, BoT3) X(, BoT2) X(, BoT1) \
  X(, BoTh) X(R, BoTst) X(L, BoTst) \
  X(, HeNe) X(, HeCg) X(, HeTo) X(, HeBa) X(, HeFr) X(, HeNo) X(, HeMe) \
  X(R, HeTrg) X(L, HeTrg) X(R, HeEye) X(L, HeEye) \
  MK_SHORT_NAME_LIMB_SEGMENTS(X, R) \
  MK_SHORT_NAME_LIMB_SEGMENTS(X, L)

// The 32 limb segments of one side.
#define MK_SHORT_NAME_LIMB_SEGMENTS(X, side) \
  X(side, LeTh) X(side, LeLe) \
  X(side, FoAn) X(side, FoHe) X(side, FoSo) X(side, FoTa) X(side, FoTo) \
  X(side, ArCl) X(side, ArSc) X(side, ArAr) X(side, ArFAr) \
  X(side, HaCPr) \
  X(side, HaThM) X(side, HaTh1) X(side, HaTh2) X(side, HaTh3) \
  X(side, HaInM) X(side, HaIn1) X(side, HaIn2) X(side, HaIn3) \
  X(side, HaMiM) X(side, HaMi1) X(side, HaMi2) X(side, HaMi3) \
  X(side, HaAnM) X(side, HaAn1) X(side, HaAn2) X(side, HaAn3) \
  X(side, HaAuM) X(side, HaAu1) X(side, HaAu2) X(side, HaAu3)

// Ellipses 1000..1106: midline 1000..1018, left limbs 1019..1062, right limbs
// 1063..1106 (the left side comes first here).
#define MK_SHORT_NAME_ELLIPSES(FIRST, X) \
  FIRST(, BoBb) X(, BoBu) X(, BoCh) X(, BoCr) X(, BoIl) \
  X(, BoNe) X(, BoNi) X(, BoOm) X(, BoSc) X(, BoTh) \
  X(, HeCh) X(, HeEy) X(, HeFh) X(, HeGl) X(, HeMe) \
  X(, HeNe) X(, HeNo) X(, HeSt) X(, HeTo) \
  MK_SHORT_NAME_LIMB_ELLIPSES(X, L) \
  MK_SHORT_NAME_LIMB_ELLIPSES(X, R)

// The 44 limb ellipses of one side.
#define MK_SHORT_NAME_LIMB_ELLIPSES(X, side) \
  X(side, ArAc) X(side, ArAca) X(side, ArBi) X(side, ArEl) X(side, ArFAr) \
  X(side, ArMSh) X(side, ArSc) X(side, ArTh) X(side, ArWr) \
  X(side, FoBa) X(side, FoHAn) X(side, FoTa) X(side, FoTo) \
  X(side, HaAn1) X(side, HaAn2) X(side, HaAn3) X(side, HaAn4) \
  X(side, HaAu1) X(side, HaAu2) X(side, HaAu3) X(side, HaAu4) \
  X(side, HaIn1) X(side, HaIn2) X(side, HaIn3) X(side, HaIn4) \
  X(side, HaMi1) X(side, HaMi2) X(side, HaMi3) X(side, HaMi4) \
  X(side, HaPa) X(side, HaPa1) \
  X(side, HaTh0) X(side, HaTh1) X(side, HaTh2) X(side, HaTh3) \
  X(side, LeAn) X(side, LeAn2) X(side, LeBKn) X(side, LeCa) X(side, LeCr) \
  X(side, LeHi) X(side, LeKn) X(side, LeMTh) X(side, LeTKn)

// Lines of sight 5000..5002: left eye, middle, right eye.
#define MK_SHORT_NAME_LINES_OF_SIGHT(FIRST, X) \
  FIRST(L, HeEye) X(M, HeEye) X(R, HeEye)

#define MK_SHORT_NAME_SEGMENT_FIRST_(side, element) side##S##element = 0,
#define MK_SHORT_NAME_SEGMENT_(side, element) side##S##element,
#define MK_SHORT_NAME_ELLIPSE_FIRST_(side, element) side##E##element = 1000,
#define MK_SHORT_NAME_ELLIPSE_(side, element) side##E##element,
#define MK_SHORT_NAME_SKIN_FIRST_(side, element) side##Sk##element = 4000,
#define MK_SHORT_NAME_SKIN_(side, element) side##Sk##element,
#define MK_SHORT_NAME_SIGHT_FIRST_(side, element) side##L##element = 5000,
#define MK_SHORT_NAME_SIGHT_(side, element) side##L##element,

// clang-format on

// 310 values in six ranges; within a range the values are consecutive.
enum MKShortName : int {
  // Segments, 0..98.
  MK_SHORT_NAME_SEGMENTS(MK_SHORT_NAME_SEGMENT_FIRST_, MK_SHORT_NAME_SEGMENT_)
  // Ellipses, 1000..1106.
  MK_SHORT_NAME_ELLIPSES(MK_SHORT_NAME_ELLIPSE_FIRST_, MK_SHORT_NAME_ELLIPSE_)
  // The body as a whole and its centre of gravity.
  BoBo = 2000,
  BoCg = 3000,
  // Skin elements, 4000..4098: one per segment, value = segment value + 4000.
  MK_SHORT_NAME_SEGMENTS(MK_SHORT_NAME_SKIN_FIRST_, MK_SHORT_NAME_SKIN_)
  // Lines of sight, 5000..5002.
  MK_SHORT_NAME_LINES_OF_SIGHT(MK_SHORT_NAME_SIGHT_FIRST_, MK_SHORT_NAME_SIGHT_)
};

#undef MK_SHORT_NAME_SEGMENT_FIRST_
#undef MK_SHORT_NAME_SEGMENT_
#undef MK_SHORT_NAME_ELLIPSE_FIRST_
#undef MK_SHORT_NAME_ELLIPSE_
#undef MK_SHORT_NAME_SKIN_FIRST_
#undef MK_SHORT_NAME_SKIN_
#undef MK_SHORT_NAME_SIGHT_FIRST_
#undef MK_SHORT_NAME_SIGHT_

// The text of a value, owned by the library; null for a value outside the six
// ranges.
const char* MKConvertShortNameToString(MKShortName name);

// The value whose text equals `text` exactly (case-sensitive, whole string);
// -1 when no name matches or `text` is null.
MKShortName MKConvertStringToShortName(const char* text);
