#include "parts/MKStatus.h"

#include "host/KelMsgCatalog.h"

KelUnicodeString MKStatus::GetUnicodeStatusMessage() const {
  KelUnicodeString number;
  number.BuildFromNum(static_cast<int>(code), "%d");
  const KelUnicodeString key = KelUnicodeString("MKStatusMessage") + number;
  return KelMsgCatalog::BuildMessage("LumHumanModeling", key.ConvertToChar(), nullptr, 0,
                                     KelUnicodeString("@") + key);
}
