#pragma once

#include <vector>

#include "host/KelUnicodeString.h"

namespace KelCollec {
// How RemoveAll treats the elements; a list never deletes what its pointers
// point to, so both values only empty the list.
enum MemoryHandling { DontFreeMemory, FreeMemory };
}  // namespace KelCollec

// Growable list of the host platform, indexed from 1 to Size().
template <typename T>
class KelRawColl {
 public:
  explicit KelRawColl(int initialCapacity = 0) {
    if (initialCapacity > 0) items.reserve(static_cast<std::size_t>(initialCapacity));
  }

  int Size() const { return static_cast<int>(items.size()); }
  // Resizes; new elements are value-initialised.
  void Size(int newSize) { items.resize(newSize > 0 ? static_cast<std::size_t>(newSize) : 0); }

  // Elements 1 to Size(). An index outside that range reads and writes a
  // scratch element, reset to the default value at each such access.
  T& operator[](int i) {
    if (i < 1 || i > Size()) {
      scratch = T{};
      return scratch;
    }
    return items[static_cast<std::size_t>(i - 1)];
  }
  const T& operator[](int i) const {
    if (i < 1 || i > Size()) {
      scratch = T{};
      return scratch;
    }
    return items[static_cast<std::size_t>(i - 1)];
  }

  int Append(const T& value) {
    items.push_back(value);
    return Size();
  }
  void Append(const KelRawColl& other) {
    const std::vector<T> copy = other.items;  // safe when other is this list
    items.insert(items.end(), copy.begin(), copy.end());
  }
  // The new element takes position `i` (1 to Size() + 1); other positions are refused.
  bool InsertAt(int i, const T& value) {
    if (i < 1 || i > Size() + 1) return false;
    items.insert(items.begin() + (i - 1), value);
    return true;
  }
  // Position of the first element equal to `value` from position `start`; 0 when absent.
  int Locate(const T& value, int start = 1) const {
    for (int i = start < 1 ? 1 : start; i <= Size(); ++i)
      if (items[static_cast<std::size_t>(i - 1)] == value) return i;
    return 0;
  }
  bool RemovePosition(int i) {
    if (i < 1 || i > Size()) return false;
    items.erase(items.begin() + (i - 1));
    return true;
  }
  void RemoveAll(KelCollec::MemoryHandling = KelCollec::DontFreeMemory) { items.clear(); }

 private:
  std::vector<T> items;
  mutable T scratch{};
};

using KelRawCollPV = KelRawColl<void*>;
using KelRawCollint = KelRawColl<int>;
using KelRawColldouble = KelRawColl<double>;
using KelListValKelUnicodeString = KelRawColl<KelUnicodeString>;
