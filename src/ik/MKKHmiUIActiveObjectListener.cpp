#include "ik/MKKHmiUIActiveObjectListener.h"

namespace {
MKKHmiUIActiveObjectListener* registered = nullptr;
}  // namespace

MKKHmiUIActiveObjectListener* MKKHmiUIActiveObjectListener::GetUIActiveObjectListener() {
  return registered;
}

void MKKHmiUIActiveObjectListener::SetUIActiveObjectListener(
    MKKHmiUIActiveObjectListener* listener) {
  registered = listener;
}
