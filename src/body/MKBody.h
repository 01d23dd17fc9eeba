#pragma once

#include <functional>
#include <vector>

#include "body/MKBodyElement.h"
#include "body/MKCenterOfGravity.h"
#include "body/MKPostureSpec.h"
#include "body/MKSubDVertex.h"
#include "host/KelRawColl.h"
#include "host/KelUnicodeString.h"
#include "math/MK3DVertex.h"
#include "math/MKFrame.h"
#include "math/MKMesh.h"
#include "parts/MKMemo.h"
#include "parts/MKStatus.h"

class KelSdoMesh;
class MKDBJointLimits;
class MKDOF;
class MKEllipse;
class MKManikin;
class MKSegment;

// The kinematic body of a manikin.
//
// Head skin data. Each sex (0 female, 1 male) has a skin file, read once per
// process the first time it is asked for, that fills the per-sex tables
// below: the subdivision base mesh of the head (quadrilateral faces, their
// neighbours, their vertices anchored on ellipses, the segment that displays
// each face) and the faces of the facial features.
//
// Skin-file format (text, one record per line, numbers separated by blanks):
//   any lines, up to a line that begins with "#START"
//   H                                  number of faces
//   V                                  number of vertices
//   H lines: tag  n0 e0  n1 e1  n2 e2  n3 e3
//                 across edge k of the face (corner k to corner k + 1) lies
//                 face nk, where that edge is its edge ek (-1 -1: none)
//   H lines: i  v0 v1 v2 v3            the face's corners (0-based vertices)
//   V blocks of 3 lines: a header, then two anchors "name p0 p1 p2 p3"
//                 (an ellipse short name and four parameters; "." or ","
//                 decimals are both read, whatever the locale)
//   one line, skipped
//   one line of H segment indices, the display segment of each face
//   any lines, up to a line that begins with "#HEAD"
//   hair, eyebrows, eyelids, whites of the eyes, irises, pupils, lips:
//                 each a line with a count n, then a line of n face indices
//
// A file is untrusted input; the reader never writes outside the tables:
// - Without "#START", or when H or V is missing, unreadable, negative or
//   above its capacity (900 each), or V is 0 with faces present, the base
//   mesh is rejected: both counts of the sex become 0 and the result is
//   sSkinFileFailure. The same happens when the file ends before the line of
//   display segments.
// - Once H and V are accepted, the base-mesh tables of the sex are cleared.
//   A record that cannot be used leaves its entry cleared: a line that is
//   longer than its buffer (255 characters; the display-segment and hair
//   lines may be as long as the file, up to sMaxLongLine), holds a NUL
//   byte, has too few numbers, a number that does not parse (integers of at
//   most 9 digits; finite decimals) or an index out of range (neighbour
//   faces -1 to H - 1 and edges -1 to 3, vertices 0 to V - 1, ellipse short
//   names 1000 to 1106, segments 0 to 98). In the line of display
//   segments each number stands alone. Tokens beyond the needed numbers are
//   ignored.
// - A feature group whose count is unreadable, negative or above its
//   capacity, or whose index line does not give that many face indices
//   from 0 to H - 1, stays as it was; so do all groups without "#HEAD" or
//   when the file ends early. The base mesh is kept in either case.
// - After every read, a feature group that names a face beyond the base
//   mesh now in the tables (left from an earlier file) is emptied.
class MKBody : public MKBodyElement {
 public:
  static unsigned int GetMinMeshResolution() { return 4; }
  static unsigned int GetMaxMeshResolution() { return 128; }
  static unsigned int GetDefaultMeshResolution() { return 32; }

  // `meshSex` is handed to ReadMeshData; `createMeshes` lets the body build
  // its skin (0 for a body that is only measured).
  MKBody(MKManikin* manikin, int meshSex, unsigned char createMeshes);
  MKBody(const MKBody&) = delete;
  MKBody& operator=(const MKBody&) = delete;
  ~MKBody() override;

  void Update() override {}

  // Lookup.
  MKSegment* GetSegment(MKShortName name) const;
  MKSegment* GetSegmentAtIndex(unsigned int i) const;
  MKSegment* GetRoot() const { return GetSegment(SBoPh); }
  unsigned int GetNumberOfSegments() const { return static_cast<unsigned int>(segments.Size()); }
  MKEllipse* GetEllipse(MKShortName name) const;
  MKBodyElement* GetElementByName(MKShortName name);
  MKManikin* GetManikin() const { return manikin; }
  const MKMemo* GetMemo() const { return &memo; }
  void SetMemo(const MKMemo* newMemo);
  void SetMemo(const KelUnicodeString& text);
  MKCenterOfGravity* GetCenterOfGravity() { return &centerOfGravity; }
  MKDBJointLimits* GetJointLimitsDB() const { return jointLimitsDB; }
  int GetSexOfCurrentBody() const;

  // DOFs.
  unsigned int GetNumberOfDOFs() const;
  void GetDOFValues(KelRawColldouble& values) const;
  MKStatus SetDOFValues(KelRawColldouble& values, bool force);

  // Posture.
  void ResetPosture();
  MKStatus SetPosture(MKPostureSpec posture);
  void SetToBestPosture();

  // Coupling.
  void EnableCoupling(bool saveLimits);
  void DisableCoupling(bool restoreLimits);
  bool IsCouplingEnabled() const { return couplingEnabled != 0; }
  void CreateCoupledAngles();

  // Joint limits.
  MKStatus UseJointLimitsDB(MKDBJointLimits* database);
  void RelinkJointLimitsDB(MKSegment* segment);

  // Balance.
  MKMesh GetBasisOfSupport();
  void GetBasisOfSupportWhenStanding(MKMesh& points);
  void GetBasisOfSupportWhenSitting(MKMesh& points);
  bool IsBalanced();

  // Reach envelope. Sweeps the arm that holds `to` (a segment below a
  // forearm) with the manikin's IK solver towards n - 1 latitude rings of n
  // points (n the mesh resolution) on a sphere about the arm's origin, 1.2
  // times the chain's length in radius, and towards its poles; the points
  // reached go, in the girdle's frame, to the skin element of the shoulder
  // girdle (RSBoTst or LSBoTst): the upper pole as a cap of n copies of its
  // point, the rings from the top down, the lower pole's cap. The reaching
  // point is the tip of `to` moved by `frame` (the unit frame: none); `from`
  // only names the side, which must be that of `to`. Posture, constraint
  // activity, solver behaviour, tolerance and pelvic movement are as before;
  // nothing at all changes when a segment is missing, `to` is not below a
  // forearm or `from` lies on another side.
  void BuildReachEnvelope(MKShortName from, MKShortName to, const MKFrame& frame);

  // Skin: rings of `GetMeshResolution()` points swept through the ellipses.
  unsigned int GetMeshResolution() const { return meshResolution; }
  // Clamped to [4, 128]; a change rebuilds the skin.
  void SetMeshResolution(unsigned int resolution);
  unsigned int GetCapMeshResolution() const {
    return meshResolution / 4 < 6 ? meshResolution / 4 : 6;
  }
  // Rebuilds the skin of a manikin's body in its reference posture, keeping
  // posture, limits and locks.
  void RebuildMeshes();
  // Fills the skin elements from the ellipses in the current posture.
  void BuildSkin();
  // The caps an ellipse with a mesh asks for (HasBeginCap, HasEndCap), begin
  // cap first, appended to its segment's skin.
  void CreateCapMeshes(MKEllipse* ellipse);
  // The strips closing each ankle between the lower leg and the foot.
  void CreateAnkleMeshes();
  // The trunk's tube: on the pelvis, the sacrum, every vertebra (L5 to T1)
  // and up the neck, rings interpolated between the trunk ellipses that
  // bracket their world height, from the buttock ellipse to the neck
  // ellipse. A vertebra's skin holds only these rings; the pelvis and the
  // neck keep their own meshes below and above them.
  void CreateTrunkMeshes();
  // On each side, the rings of a pipe bent from the clavicle's last ring to
  // the arm's first ring (see the shoulder's PipeBend), put at the head of
  // the arm's skin, so the top of the arm rounds into the shoulder's tube,
  // whose inner end lies inside the neck.
  void CreateShoulderMeshes();
  // The rings of one segment of the trunk's tube, in its frame: `count`
  // equal steps from its origin to its end (both included) and the height of
  // every ellipse of `ellipses` inside that span, ascending, kept within the
  // curve's heights. `ellipses` (MKEllipse*) and `curve` (their world
  // centres, ascending in Y) run in parallel. New MKMesh objects of type
  // ring are appended to `rings`, owned by the caller; answers how many.
  int GenerateMeshForSpineSegment(MKSegment* segment, KelRawCollPV& ellipses, const MKMesh& curve,
                                  KelRawCollPV& rings, int count);
  // Replaces `ring` by the section at the world height of `point`: the
  // points of the two ellipses bracketing it (same index, clockwise from
  // +X) blended in world space by a monotone cubic through all the
  // ellipses (square to the first and last), scaled by `scale` about their
  // centre and carried into `segment`'s frame. False, `ring` emptied, when
  // the height has no bracket, an ellipse is missing, the two lists differ
  // in length or a point is not finite.
  bool CreateInterpolatedEllipse(MKSegment* segment, KelRawCollPV& ellipses, const MKMesh& curve,
                                 const MK3DVertex& point, double scale, MKMesh& ring);
  // Bound searches on a curve whose points rise in Y: 0 when p.y is at or
  // below the first point, the last index when at or above the last point,
  // otherwise the lower index i with y_i <= p.y < y_(i+1) (the higher index
  // i + 1 with y_i < p.y <= y_(i+1)). sNoBound for a curve of fewer than two
  // points or one whose Y ever falls.
  static constexpr unsigned int sNoBound = 0x7FFFFFFFu;
  unsigned int SearchLowerBound(const MKMesh& curve, const MK3DVertex& p) const;
  unsigned int SearchHigherBound(const MKMesh& curve, const MK3DVertex& p) const;

  // The subdivided head. InitSubD reads the skin file of `sex` and builds
  // the base mesh on the head ellipses; the subdivided mesh is a new object
  // owned by the caller (null without base mesh).
  void InitSubD(int sex);
  KelSdoMesh* GetSubDBaseMesh() const { return subDMesh; }
  KelSdoMesh* GetSubDSubdividedMesh() const;
  // Places every base-mesh vertex from its two anchors (see tools/gen_skin_files.py).
  void CompleteBaseMesh(int sex);
  MK3DVertex GetComputedVertexAtHierarchyIndex(int vertex) const;
  void SetComputedVertexAtHierarchyIndex(int vertex, const MK3DVertex& position);
  // Resolves the anchors' ellipses and lists each face on the segment that
  // displays it (list A) and on the segments its vertices hang on (list B).
  void AssignSubDVertices();
  void AssignSegmentsTextureInfo(int sex);
  // The skull top (SHeTo) is displayed with the head (SHeCg).
  static unsigned int GetVisuSegmentIndex(unsigned int i);
  MKSegment* GetVisuSegment(unsigned int i) const;
  // First match in segment order, then ellipse order; outputs untouched when none.
  void GetEllipseIndicesFromShortName(MKShortName name, int& segment, int& ellipse) const;
  int GetNbUniqueVertices() const;
  int GetNbHierarchies() const;
  int GetHierarchyOwnerSegmentForVisu(int face) const;
  const MKSubDVertex* GetSubDVerticesAtDirectIndex(int i) const;
  const MKSubDVertex* GetSubDVerticesAtHierarchyIndex(int face, int corner) const;
  int GetHierarchyVertexPos(int face, int corner) const;
  void SetHierarchyVertexPos(int face, int corner, int vertex);
  // The faces of each facial feature for the current sex, in file order: a
  // new list owned by the caller, empty when there are none.
  KelRawCollint* GetHairFacesIndexes() const;
  KelRawCollint* GetEyebrowsFacesIndexes() const;
  KelRawCollint* GetEyelidsFacesIndexes() const;
  KelRawCollint* GetEyesWhiteFacesIndexes() const;
  KelRawCollint* GetEyesColorFacesIndexes() const;
  KelRawCollint* GetPupilsFacesIndexes() const;
  KelRawCollint* GetLipsFacesIndexes() const;

  // Spine shaping.
  void BuildSpineShape(double hipOffset, double b, double cervicaleHeight, double trochanterHeight);
  // The earlier generation's spine: the same vertebrae stacked upright (no
  // rest curvature; L5 only cancels the pelvis tilt), spanning the same height.
  void BuildOldSpineShape(double hipOffset, double b, double cervicaleHeight,
                          double trochanterHeight);
  double GetSpineAngle() const { return spineAngle; }
  double GetSpineDy() const { return spineDy; }
  double GetSpineDz() const { return spineDz; }
  void GetBackSpineEllipses();
  void SpreadSpineEllipses();
  MKSegment* GetMatchingSegment(MKEllipse* ellipse);

  // ---- Head skin data ----
  // Capacities per sex.
  static constexpr int sMaxHierarchies = 900;
  static constexpr int sMaxSubDVertices = 900;
  static constexpr int sMaxHairFaces = 300;
  static constexpr int sMaxEyebrowsFaces = 30;
  static constexpr int sMaxEyelidsFaces = 30;
  static constexpr int sMaxEyesWhiteFaces = 20;
  static constexpr int sMaxEyesColorFaces = 20;
  static constexpr int sMaxPupilsFaces = 10;
  static constexpr int sMaxLipsFaces = 30;
  // Longest display-segment or hair line read, in characters.
  static constexpr unsigned int sMaxLongLine = 1u << 20;
  // Result of a rejected base mesh.
  static constexpr int sSkinFileFailure = static_cast<int>(0x80004005u);

  // Search directories: the ":"-separated directories of the environment
  // variable KelGraphicPath in order (empty pieces skipped); when it is
  // unset or empty, the library's data directories.
  static void InitPathList();
  // Reads the skin file of `sex` from the first search directory that holds
  // it, once per process and sex; 0 at once for a sex read before or other
  // than 0 and 1. Answers the reader's result, or the failure of the last
  // open (-1) when no directory holds the file.
  static int ReadMeshData(int sex);
  // Reads an open skin file into the tables of `sex` (see above); 0 or
  // sSkinFileFailure.
  static int ReadSKNData(unsigned int& file, int sex);

  static int sNbHierarchies[2];
  static int sNbVertices[2];
  static int sFaceNeighborhoodInfos[2][sMaxHierarchies][8];
  static int sHierarchies[2][sMaxHierarchies][4];
  static MKSubDVertex sSubDVertices[2][sMaxSubDVertices];
  static int sHierarchyOwnerSegmentForVisu[2][sMaxHierarchies];
  static int sNbHairFaces[2];
  static int sHairFaces[2][sMaxHairFaces];
  static int sNbEyebrowsFaces[2];
  static int sEyebrowsFaces[2][sMaxEyebrowsFaces];
  static int sNbEyelidsFaces[2];
  static int sEyelidsFaces[2][sMaxEyelidsFaces];
  static int sNbEyesWhiteFaces[2];
  static int sEyesWhiteFaces[2][sMaxEyesWhiteFaces];
  static int sNbEyesColorFaces[2];
  static int sEyesColorFaces[2][sMaxEyesColorFaces];
  static int sNbPupilsFaces[2];
  static int sPupilsFaces[2][sMaxPupilsFaces];
  static int sNbLipsFaces[2];
  static int sLipsFaces[2][sMaxLipsFaces];
  // "female.skn", "male.skn".
  static KelUnicodeString sFileName[2];
  // "FHeadSkin.bmp", "MHeadSkin.bmp".
  static KelUnicodeString sFaceTexture[2];
  // Directory of the skin file found + the texture name.
  static KelUnicodeString sFaceTexturePath[2];
  static unsigned char sFemaleDataRead;
  static unsigned char sMaleDataRead;
  static KelListValKelUnicodeString sDefaultPathList;

 private:
  // A rebuild of the manikin and the measure of its anchor points pose the
  // body freely and put it back as it was.
  friend class MKAnthro;
  friend class MKManikin;
  // Every visible DOF's value, limits and locks, kept around a rebuild while
  // the DOFs are unlocked and their limits reset to the database means.
  struct SavedDOFState {
    MKDOF* dof;
    double value, minLim, maxLim;
    int state;
    bool limitsLocked;
  };
  std::vector<SavedDOFState> SaveAndFreeDOFs() const;
  // Limits first, then values (coupled limits follow their masters), then locks.
  static void RestoreDOFs(const std::vector<SavedDOFState>& saved);

  // The cap closing the mesh at a begin ellipse (before its ring) or at an
  // end ellipse (after it).
  void CreateCapMeshes(MKEllipse* ellipse, bool beginCap);
  // Scales the first `count` spine segments to span `height`, then records
  // the spine angle, dy and dz.
  void FinishSpineShape(MKSegment* const* chain, int count, double height);
  void CreateSegments();
  void ResetDOF(MKShortName segment, int axis);
  void SetDOFDegrees(MKShortName segment, int axis, double degrees, int range = 1);
  // Every visible DOF, in segment order and axes X, Y, Z.
  void ForEachDOF(const std::function<void(MKDOF*)>& action) const;
  MK3DVertex SegmentEnd(MKShortName name) const;
  // GenerateMeshForSpineSegment and CreateInterpolatedEllipse, with the
  // world rings of `ellipses` sampled once into `sampled` (one slot each)
  // for a whole tube pass; the rings span heights `low` to `high`.
  int GenerateSpineRings(MKSegment* segment, KelRawCollPV& ellipses, const MKMesh& curve,
                         KelRawCollPV& rings, int count, std::vector<MKMesh>& sampled, double low,
                         double high);
  bool InterpolateRing(MKSegment* segment, KelRawCollPV& ellipses, const MKMesh& curve,
                       const MK3DVertex& point, double scale, MKMesh& ring,
                       std::vector<MKMesh>& sampled);
  // Where two pieces of the trunk's tube meet, the ring they share gets the
  // mean of the normals each piece gave it.
  void SmoothTrunkSeams();
  // Whether the manikin's anthropometry is built sitting.
  bool IsSittingConstruction() const;
  template <int N>
  KelRawCollint* FeatureFaces(const int (&faces)[2][N], const int (&counts)[2]) const {
    auto* list = new KelRawCollint();
    const int sex = GetSexOfCurrentBody();
    if (sex != 0 && sex != 1) return list;
    for (int i = 0; i < counts[sex] && i < N; ++i) list->Append(faces[sex][i]);
    return list;
  }
  // The point at half the major axis (side +1 or -1) along the local X axis
  // of a ball-of-foot ellipse, in world space.
  MK3DVertex BallOfFoot(MKShortName ellipseName, MKShortName toes, double side) const;

  KelRawCollPV segments;
  MKManikin* manikin = nullptr;
  double spineAngle = 0.0;
  double spineDy = 0.0;
  double spineDz = 0.0;
  unsigned char couplingEnabled = 0;
  MKDBJointLimits* jointLimitsDB = nullptr;
  MKMemo memo;
  MKCenterOfGravity centerOfGravity;
  KelRawColldouble savedLimits;
  unsigned char createMeshes = 0;
  unsigned int meshResolution = 32;
  unsigned int reserved[2] = {0, 0};
  KelSdoMesh* subDMesh = nullptr;
  // Three coordinates per base-mesh vertex, as last placed.
  std::vector<double> computedVertices;
};
