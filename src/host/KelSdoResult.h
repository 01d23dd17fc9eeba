#pragma once

// Result of a change to a subdivision mesh. 0 is success; a refused change
// leaves the mesh exactly as it was.
enum KelSdoResult : int {
  KelSdoSuccess = 0,
  // A vertex index outside 1 to the number of vertices.
  KelSdoBadVertexIndex = 1,
  // The same vertex given at two corners of one face.
  KelSdoDegenerateFace = 2,
  // A side of the face is an edge that already borders two faces.
  KelSdoEdgeFull = 3,
  // The mesh holds as many faces as it may.
  KelSdoMeshFull = 4
};
