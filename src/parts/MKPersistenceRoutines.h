#pragma once

#include "host/KelStreamDefinition.h"
#include "host/KelString.h"
#include "host/KelUnicodeString.h"
#include "parts/MKStatus.h"

// Byte encodings of the stream records, most significant byte first: int 4
// bytes, double 8 bytes (IEEE 754), character 2 bytes (low 16 bits), strings
// as an int count then the characters. A primitive read that finds the
// stream exhausted answers 3 and leaves its target unchanged.
class MKPersistenceRoutines {
 public:
  // Longest string a reader accepts, in characters.
  static constexpr int sMaximumStringLength = 1048576;

  static MKStatus WriteInt(KelStreamDefinition& stream, int value);
  static MKStatus WriteDouble(KelStreamDefinition& stream, double value);
  static MKStatus WriteUnicodeChar(KelStreamDefinition& stream, unsigned short value);
  static MKStatus WriteString(KelStreamDefinition& stream, const KelUnicodeString& text);
  static MKStatus WriteString(KelStreamDefinition& stream, const KelString& text);
  static MKStatus WriteStringWithoutLength(KelStreamDefinition& stream, const KelString& text);

  static MKStatus ReadInt(KelStreamDefinition& stream, int& value);
  static MKStatus ReadDouble(KelStreamDefinition& stream, double& value);
  static MKStatus ReadUnicodeChar(KelStreamDefinition& stream, unsigned short& value);
  // 100 for a count below 0 or above sMaximumStringLength.
  static MKStatus ReadString(KelStreamDefinition& stream, KelUnicodeString& text);
  static MKStatus ReadString(KelStreamDefinition& stream, KelString& text);

  // For the readers of records: a primitive that found the stream exhausted
  // (3) means the record was cut short (100); other statuses pass.
  static MKStatus StoppedEarly(const MKStatus& status) {
    return status == MKStatusFailure ? MKStatus(MKStatusStreamContent) : status;
  }
};
