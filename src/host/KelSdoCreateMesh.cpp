#include "host/KelSdoCreateMesh.h"

KelSdoMesh* KelSdoCreateMesh() {
  return new KelSdoMesh();
}
