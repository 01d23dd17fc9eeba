#pragma once

#include "host/KelSdoMesh.h"

// A new, empty subdivision mesh; the caller owns it and releases it with delete.
KelSdoMesh* KelSdoCreateMesh();
