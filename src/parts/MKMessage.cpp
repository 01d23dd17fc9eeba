#include "parts/MKMessage.h"

#include "host/KelMsgCatalog.h"

KelUnicodeString MKGetMessage(const KelUnicodeString& key) {
  return KelMsgCatalog::BuildMessage("LumHumanModeling", key.ConvertToChar(), nullptr, 0,
                                     KelUnicodeString("@") + key);
}
