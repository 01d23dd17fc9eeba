// The user-database readers: a record read as a user population and as user
// joint limits; what reads is written back, must read again and then write
// the same bytes.
#include "FuzzSupport.h"
#include "anthro/MKUserDBAnthro.h"
#include "anthro/MKUserDBJointLimits.h"

namespace {

template <class Database>
void ReadAndWriteBack(const std::uint8_t* data, std::size_t size) {
  KelStreamDefinition stream(data, size);
  Database* database = Database::Create();
  if (database->Read(stream) == MKStatusSuccess) {
    KelStreamDefinition written;
    if (database->Write(written) == MKStatusSuccess) {
      KelStreamDefinition again(written.GetBuffer(), written.GetLength());
      Database* back = Database::Create();
      KelStreamDefinition rewritten;
      if (back->Read(again) != MKStatusSuccess || back->Write(rewritten) != MKStatusSuccess ||
          !mkfuzz::SameBytes(written, rewritten))
        __builtin_trap();
      back->Destroy();
    }
  }
  database->Destroy();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ReadAndWriteBack<MKUserDBAnthro>(data, size);
  ReadAndWriteBack<MKUserDBJointLimits>(data, size);
  return 0;
}
