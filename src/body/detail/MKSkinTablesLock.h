#pragma once

#include <mutex>

// Guards the writes to MKBody's per-sex head skin tables: their reading on
// first use and the anchors' segment and ellipse places, which every built
// body sets. Bodies on other threads read the tables without it once the
// skin file of their sex has been read through ReadMeshData.
std::mutex& MKSkinTablesMutex();
