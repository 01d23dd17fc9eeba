#include "parts/MKStatus.h"

#include "parts/MKMessage.h"

KelUnicodeString MKStatus::GetUnicodeStatusMessage() const {
  KelUnicodeString number;
  number.BuildFromNum(static_cast<int>(code), "%d");
  const KelUnicodeString key = KelUnicodeString("MKStatusMessage") + number;
  return MKGetMessage(key);
}
