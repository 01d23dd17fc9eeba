#include "parts/MKShortName.h"

#include <cstddef>
#include <cstring>

namespace {

#define MK_SHORT_NAME_SEGMENT_TEXT_(side, element) #side "S" #element,
#define MK_SHORT_NAME_SKIN_TEXT_(side, element) #side "Sk" #element,
#define MK_SHORT_NAME_ELLIPSE_TEXT_(side, element) #side "E" #element,
#define MK_SHORT_NAME_SIGHT_TEXT_(side, element) #side "L" #element,

constexpr const char* kSegmentNames[] = {
    MK_SHORT_NAME_SEGMENTS(MK_SHORT_NAME_SEGMENT_TEXT_, MK_SHORT_NAME_SEGMENT_TEXT_)};
constexpr const char* kEllipseNames[] = {
    MK_SHORT_NAME_ELLIPSES(MK_SHORT_NAME_ELLIPSE_TEXT_, MK_SHORT_NAME_ELLIPSE_TEXT_)};
constexpr const char* kBodyNames[] = {"BoBo"};
constexpr const char* kCenterOfGravityNames[] = {"BoCg"};
constexpr const char* kSkinNames[] = {
    MK_SHORT_NAME_SEGMENTS(MK_SHORT_NAME_SKIN_TEXT_, MK_SHORT_NAME_SKIN_TEXT_)};
constexpr const char* kLineOfSightNames[] = {
    MK_SHORT_NAME_LINES_OF_SIGHT(MK_SHORT_NAME_SIGHT_TEXT_, MK_SHORT_NAME_SIGHT_TEXT_)};

#undef MK_SHORT_NAME_SEGMENT_TEXT_
#undef MK_SHORT_NAME_SKIN_TEXT_
#undef MK_SHORT_NAME_ELLIPSE_TEXT_
#undef MK_SHORT_NAME_SIGHT_TEXT_

struct Range {
  int first;
  std::size_t count;
  const char* const* names;
};

template <std::size_t N>
constexpr Range MakeRange(int first, const char* const (&names)[N]) {
  return Range{first, N, names};
}

// Range k starts at k * 1000, which makes conversion by value a direct index.
constexpr int kRangeStride = 1000;
constexpr Range kRanges[] = {
    MakeRange(SBoPh, kSegmentNames), MakeRange(EBoBb, kEllipseNames),
    MakeRange(BoBo, kBodyNames),     MakeRange(BoCg, kCenterOfGravityNames),
    MakeRange(SkBoPh, kSkinNames),   MakeRange(LLHeEye, kLineOfSightNames),
};
constexpr int kRangeCount = static_cast<int>(sizeof(kRanges) / sizeof(kRanges[0]));

constexpr bool RangesAreWellFormed() {
  std::size_t total = 0;
  for (int k = 0; k < kRangeCount; ++k) {
    if (kRanges[k].first != k * kRangeStride) return false;
    if (kRanges[k].count >= static_cast<std::size_t>(kRangeStride)) return false;
    total += kRanges[k].count;
  }
  return total == 310;
}
static_assert(RangesAreWellFormed(), "short-name ranges must start at multiples of 1000");

static_assert(sizeof(kSegmentNames) / sizeof(kSegmentNames[0]) == 99, "99 segments");
static_assert(sizeof(kEllipseNames) / sizeof(kEllipseNames[0]) == 107, "107 ellipses");
static_assert(sizeof(kLineOfSightNames) / sizeof(kLineOfSightNames[0]) == 3, "3 lines of sight");
static_assert(RSLeTh == 35 && LSLeTh == 67 && LSHaAu3 == 98, "limb segment ranges");
static_assert(EHeTo == 1018 && LEArAc == 1019 && REArAc == 1063 && RELeTKn == 1106,
              "ellipse ranges");
static_assert(SkBoPh == 4000 && LSkHaAu3 == 4098, "skin element range");
static_assert(LLHeEye == 5000 && MLHeEye == 5001 && RLHeEye == 5002, "line-of-sight range");

}  // namespace

const char* MKConvertShortNameToString(MKShortName name) {
  const int value = name;
  if (value < 0) return nullptr;
  const int k = value / kRangeStride;
  if (k >= kRangeCount) return nullptr;
  const Range& range = kRanges[k];
  const std::size_t index = static_cast<std::size_t>(value - range.first);
  return index < range.count ? range.names[index] : nullptr;
}

MKShortName MKConvertStringToShortName(const char* text) {
  if (text == nullptr) return static_cast<MKShortName>(-1);
  for (const Range& range : kRanges) {
    for (std::size_t i = 0; i < range.count; ++i) {
      if (std::strcmp(text, range.names[i]) == 0) {
        return static_cast<MKShortName>(range.first + static_cast<int>(i));
      }
    }
  }
  return static_cast<MKShortName>(-1);
}
