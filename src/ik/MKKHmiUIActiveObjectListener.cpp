#include "ik/MKKHmiUIActiveObjectListener.h"

#include <atomic>

namespace {
// Solves on several threads ask for it while the host may change it.
std::atomic<MKKHmiUIActiveObjectListener*> registered{nullptr};
}  // namespace

MKKHmiUIActiveObjectListener* MKKHmiUIActiveObjectListener::GetUIActiveObjectListener() {
  return registered.load();
}

void MKKHmiUIActiveObjectListener::SetUIActiveObjectListener(
    MKKHmiUIActiveObjectListener* listener) {
  registered.store(listener);
}
