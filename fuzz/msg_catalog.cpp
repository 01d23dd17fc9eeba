// The message-catalogue reader, and the parameters put into every text read.
#include <sstream>
#include <string>

#include "FuzzSupport.h"
#include "host/detail/KelMsgCatalogText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  const KelUnicodeString parameters[] = {KelUnicodeString("first"), KelUnicodeString("/P1"),
                                         KelUnicodeString("")};
  for (const auto& entry : KelReadMsgCatalog(in))
    KelSubstituteMsgParameters(entry.second, parameters, 3);
  return 0;
}
