#pragma once

#include <memory>

#include "parts/MKManikinPart.h"

// Releases a part through Destroy, as every part handed to a caller must be.
struct MKPartDestroyer {
  void operator()(MKManikinPart* part) const {
    if (part) part->Destroy();
  }
};

// Owns a part that a caller was handed (extracted, cloned or read) until it
// goes out of scope.
template <typename Part = MKManikinPart>
using MKPartHolder = std::unique_ptr<Part, MKPartDestroyer>;
