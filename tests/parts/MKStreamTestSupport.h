#pragma once

// Helpers shared by the part-model tests: records built byte by byte, so
// that readers are checked against the format and not against the writers.

#include <cstdint>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>

#include "host/KelStreamDefinition.h"
#include "parts/MKManikinPart.h"
#include "parts/MKMemo.h"

// Readable failure messages for statuses.
inline void PrintTo(const MKStatus& status, std::ostream* os) {
  *os << "status " << static_cast<int>(status.GetCode());
}

namespace mktest {

// Big-endian record bytes.
class Bytes {
 public:
  Bytes& Raw(const std::string& bytes) {
    data += bytes;
    return *this;
  }
  Bytes& Int(std::int32_t value) { return Unsigned(static_cast<std::uint32_t>(value), 4); }
  Bytes& Double(double value) {
    std::uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return Unsigned(bits, 8);
  }
  Bytes& Char16(unsigned short c) { return Unsigned(c, 2); }
  // A string with length, from ASCII or Latin-1 bytes.
  Bytes& Text(const std::string& text) {
    Int(static_cast<std::int32_t>(text.size()));
    for (unsigned char c : text) Char16(c);
    return *this;
  }
  Bytes& Stamp(std::int32_t seconds) { return Int(0).Int(seconds); }

  std::string data;

 private:
  Bytes& Unsigned(std::uint64_t value, int count) {
    for (int shift = 8 * (count - 1); shift >= 0; shift -= 8)
      data.push_back(static_cast<char>((value >> shift) & 0xFF));
    return *this;
  }
};

// A framed record: begin tag, version, length of `body`, body, end tag. The
// time stamp, when the record carries one, belongs to `body`.
inline std::string Record(const char* kind, double version, const std::string& body,
                          int lengthAdjustment = 0) {
  return Bytes()
      .Raw(std::string(kind) + "B")
      .Double(version)
      .Int(static_cast<std::int32_t>(body.size()) + lengthAdjustment)
      .Raw(body)
      .Raw(std::string(kind) + "E")
      .data;
}

// A memo record of version 2.0 with an ASCII text.
inline std::string MemoRecord(const std::string& text, const char* owner, std::int32_t stamp) {
  return Record("0013", 2.0, Bytes().Stamp(stamp).Text(text).Text(owner).data);
}

inline std::int32_t IntAt(const std::string& bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (std::size_t i = 0; i < 4; ++i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
  return static_cast<std::int32_t>(v);
}

inline double DoubleAt(const std::string& bytes, std::size_t at) {
  std::uint64_t v = 0;
  for (std::size_t i = 0; i < 8; ++i) v = (v << 8) | static_cast<unsigned char>(bytes[at + i]);
  double d;
  std::memcpy(&d, &v, sizeof d);
  return d;
}

inline KelStreamDefinition StreamOf(const std::string& bytes) {
  return KelStreamDefinition(bytes.data(), bytes.size());
}

inline std::string BytesOf(const KelStreamDefinition& stream) {
  return std::string(stream.GetBuffer(), stream.GetLength());
}

// The bytes a part writes; `status` receives the write status.
inline std::string Written(MKManikinPart& part, MKStatus* status = nullptr) {
  KelStreamDefinition stream;
  const MKStatus result = part.Write(stream);
  if (status) *status = result;
  return BytesOf(stream);
}

struct PartDeleter {
  void operator()(MKManikinPart* part) const {
    if (part) part->Destroy();
  }
};
using PartPtr = std::unique_ptr<MKManikinPart, PartDeleter>;

inline MKMemo Memo(const char* text, MKPartID owner = MKPartDefaultID) {
  MKMemo memo;
  memo.SetText(text);
  memo.SetPartIDOfOwner(owner);
  return memo;
}

// The text of a memo part, as UTF-8.
inline std::string TextOf(const MKManikinPart* memo) {
  return static_cast<const MKMemo*>(memo)->GetText().ConvertToChar().CastToCharPtr();
}

// Reads one record with ReadFromStream; the part (or null) is owned by the result.
inline PartPtr ReadPart(const std::string& bytes, MKStatus* status = nullptr) {
  KelStreamDefinition stream = StreamOf(bytes);
  MKManikinPart* part = nullptr;
  const MKStatus result = MKManikinPart::ReadFromStream(stream, part);
  if (status) *status = result;
  return PartPtr(part);
}

}  // namespace mktest
