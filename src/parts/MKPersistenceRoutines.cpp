#include "parts/MKPersistenceRoutines.h"

#include <cstdint>
#include <cstring>
#include <new>
#include <vector>

namespace {

MKStatus WriteBytes(KelStreamDefinition& stream, std::uint64_t bits, int count) {
  for (int shift = 8 * (count - 1); shift >= 0; shift -= 8)
    if (!stream.WriteChar(static_cast<char>((bits >> shift) & 0xFF))) return MKStatusFailure;
  return MKStatusSuccess;
}

}  // namespace

MKStatus MKPersistenceRoutines::WriteInt(KelStreamDefinition& stream, int value) {
  return WriteBytes(stream, static_cast<std::uint32_t>(value), 4);
}

MKStatus MKPersistenceRoutines::WriteDouble(KelStreamDefinition& stream, double value) {
  std::uint64_t bits;
  std::memcpy(&bits, &value, sizeof bits);
  return WriteBytes(stream, bits, 8);
}

MKStatus MKPersistenceRoutines::WriteUnicodeChar(KelStreamDefinition& stream,
                                                 unsigned short value) {
  return WriteBytes(stream, value, 2);
}

MKStatus MKPersistenceRoutines::WriteString(KelStreamDefinition& stream,
                                            const KelUnicodeString& text) {
  const int length = text.GetLengthInChar();
  MKStatus status = WriteInt(stream, length);
  std::vector<wchar_t> chars(static_cast<std::size_t>(length) + 1);
  text.ConvertToWChar(chars.data());
  for (int i = 0; i < length && status == MKStatusSuccess; ++i)
    status = WriteUnicodeChar(stream, static_cast<unsigned short>(chars[i] & 0xFFFF));
  return status;
}

MKStatus MKPersistenceRoutines::WriteString(KelStreamDefinition& stream, const KelString& text) {
  return WriteString(stream, KelUnicodeString(text));
}

MKStatus MKPersistenceRoutines::WriteStringWithoutLength(KelStreamDefinition& stream,
                                                         const KelString& text) {
  const char* bytes = text.CastToCharPtr();
  for (int i = 0; i < text.Length(); ++i) stream.WriteChar(bytes[i]);
  return MKStatusSuccess;
}

MKStatus MKPersistenceRoutines::ReadInt(KelStreamDefinition& stream, int& value) {
  const long start = stream.GetCurrentPosition();
  std::uint32_t bits = 0;
  for (int i = 0; i < 4; ++i) {
    char c;
    if (!stream.ReadChar(&c)) {
      stream.Reset();
      stream.Advance(start);
      return MKStatusFailure;
    }
    bits = (bits << 8) | static_cast<unsigned char>(c);
  }
  value = static_cast<int>(bits);
  return MKStatusSuccess;
}

MKStatus MKPersistenceRoutines::ReadDouble(KelStreamDefinition& stream, double& value) {
  return stream.ReadDouble(&value) ? MKStatusSuccess : MKStatusFailure;
}

MKStatus MKPersistenceRoutines::ReadUnicodeChar(KelStreamDefinition& stream,
                                                unsigned short& value) {
  return stream.ReadUnsignedShort(&value) ? MKStatusSuccess : MKStatusFailure;
}

MKStatus MKPersistenceRoutines::ReadString(KelStreamDefinition& stream, KelUnicodeString& text) {
  text = "";
  int length = 0;
  MKStatus status = ReadInt(stream, length);
  if (status != MKStatusSuccess || length == 0) return status;
  if (length < 0 || length > sMaximumStringLength) return MKStatusStreamContent;
  // Never trust the count for the allocation: the characters must be there.
  if (stream.GetLength() - static_cast<unsigned long>(stream.GetCurrentPosition()) <
      2UL * static_cast<unsigned long>(length))
    return MKStatusFailure;
  std::vector<wchar_t> chars;
  try {
    chars.resize(static_cast<std::size_t>(length) + 1);
  } catch (const std::bad_alloc&) {
    return MKStatusNoMemory;
  }
  for (int i = 0; i < length; ++i) {
    unsigned short c = 0;
    if ((status = ReadUnicodeChar(stream, c)) != MKStatusSuccess) return status;
    chars[static_cast<std::size_t>(i)] = static_cast<wchar_t>(c);
  }
  chars[static_cast<std::size_t>(length)] = 0;
  text.BuildFromWChar(chars.data());
  return MKStatusSuccess;
}

MKStatus MKPersistenceRoutines::ReadString(KelStreamDefinition& stream, KelString& text) {
  text = "";
  KelUnicodeString wide;
  const MKStatus status = ReadString(stream, wide);
  if (wide.GetLengthInChar() > 0) text = wide.ConvertToChar();
  return status;
}
