#pragma once

#include <string>

// In-memory byte stream of the host platform: a growable buffer that writes
// append to, and a read position that reads consume. Multi-byte reads are
// most significant byte first. A read past the end fails, reads nothing and
// keeps the position.
class KelStreamDefinition {
 public:
  KelStreamDefinition() = default;
  // Copies `length` bytes of `buffer`; the caller keeps its buffer.
  KelStreamDefinition(const void* buffer, unsigned long length);

  // Moves the read position by n bytes; false, and no move, when the new
  // position would leave 0..GetLength().
  bool Advance(long n);
  long GetCurrentPosition() const { return static_cast<long>(position); }
  void Reset() { position = 0; }

  bool WriteChar(char c);
  bool ReadChar(char* c);
  bool ReadUnsignedShort(unsigned short* value);
  bool ReadDouble(double* value);

  const char* GetBuffer() const { return bytes.data(); }
  unsigned long GetLength() const { return static_cast<unsigned long>(bytes.size()); }

 private:
  bool Take(unsigned char* out, std::size_t count);

  std::string bytes;
  std::size_t position = 0;
};
