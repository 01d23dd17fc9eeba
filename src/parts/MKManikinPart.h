#pragma once

#include "host/KelRawColl.h"
#include "host/KelStreamDefinition.h"
#include "host/KelString.h"
#include "host/KelUnicodeString.h"
#include "parts/MKPartID.h"
#include "parts/MKStatus.h"

class MKDBAnthro;
class MKDBJointLimits;

// A node of a manikin's part tree: anything that can be copied, pasted,
// extracted to a host catalogue or written to a stream. A part has a kind, a
// record format version, a time stamp, a read-from-library flag and the
// ordered children it owns. Kinds without a class of their own (postures,
// joint-limit and preferred-angle sets, ...) are plain containers of this class.
//
// Stream records: a 5-byte begin tag (kind string + "B"), the version
// (double), the body length (int), the time stamp when the kind carries one,
// the body, and a 5-byte end tag (kind string + "E"); big-endian throughout.
class MKManikinPart {
 public:
  MKManikinPart(MKPartID kind, double version);
  MKManikinPart(const MKManikinPart& source);
  MKManikinPart& operator=(const MKManikinPart& source);

  // The virtual operations, in their fixed slot order.
  virtual MKStatus Write(KelStreamDefinition& stream);
  virtual MKStatus Read(KelStreamDefinition& stream);
  virtual MKManikinPart* ExtractPartAtIndex(unsigned int index) const;
  virtual MKManikinPart* ExtractPart(MKPartID kind, unsigned int index,
                                     KelRawCollint* shortNames) const;
  virtual unsigned int GetNumberOfChildrenParts() const;
  virtual MKStatus PasteFrom(const MKManikinPart* source, unsigned char flag);
  virtual void Destroy();
  virtual void GetOwnerShortNameOfChildrenParts(KelRawCollint& shortNames) const;
  virtual ~MKManikinPart();
  virtual unsigned int GetSize() const;
  virtual MKManikinPart* Clone() const;

  // For a part that belongs to one DOF (a posture value, a joint-limit
  // record, a preferred-angle zone): the short name of the DOF's segment and
  // the DOF's number. -1 for every other part.
  virtual int GetOwnerShortNameAsChild() const { return -1; }
  virtual int GetDOFNumberAsChild() const { return -1; }

  // The paste routines that PasteFrom dispatches to, by the source's kind.
  MKStatus PasteOnPrefAngle(const MKManikinPart* source, unsigned char flag);
  MKStatus PasteOnIKConstraints(const MKManikinPart* source);
  MKStatus PasteOnJointLimits(const MKManikinPart* source, unsigned char flag);
  MKStatus PasteOnPosture(const MKManikinPart* source, unsigned char flag);
  MKStatus PasteOnSet(const MKManikinPart* source);
  MKStatus PasteOnVisualLimits(const MKManikinPart* source);
  MKStatus PasteOnDBReference(const MKManikinPart* source);
  MKStatus PasteMemoOnPart(const MKManikinPart* source);

  // An empty part of a kind; null for kinds that have no constructor here.
  static MKManikinPart* Create(MKPartID kind);
  // A reference to a database: a container of kind 11 (joint limits) holding
  // a memo whose text is the database's UUID; null for a null database.
  // Defined with the databases (anthro/).
  static MKManikinPart* Create(const MKDBJointLimits* database);
  // The same for an anthropometric database: kind 12, version 2.02.
  static MKManikinPart* Create(const MKDBAnthro* database);

  static const KelString& ConvertPartIDToString(MKPartID kind);
  static MKPartID ConvertStringToPartID(const KelString& text);

  MKPartID GetPartID() const { return partID; }
  double GetVersion() const { return version; }
  long GetTimeStamp() const { return timeStamp; }
  unsigned char IsLoadedFromLibrary() const { return loadedFromLibrary; }
  void SetAsReadFromLibrary() { loadedFromLibrary = 1; }

  // Appends a clone of `part`; a null part, or one that cannot be cloned, is ignored.
  void AddPart(const MKManikinPart* part);
  // 1-based index of the first non-null child of `kind` from `start`, and
  // `found` pointing at it in the tree; 0 and null when none.
  int FindPart(const MKPartID& kind, MKManikinPart*& found, int start) const;
  void RemoveAllParts();
  // The child at 1-based slot i (null for an empty slot or a bad index);
  // changeable only through a changeable part.
  const MKManikinPart* GetChild(int i) const;
  MKManikinPart* GetChild(int i);

  // Framing of stream records.
  static int GetMaxTagLength() { return 5; }
  static int GetSizeOfTimeStamp() { return 8; }
  // Containers of preferred-angle zones (6, 30 to 32) and of joint-limit
  // records (8, 27 to 29).
  static bool IsPrefAnglesKind(MKPartID kind) {
    return kind == MKPartPrefAnglesID ||
           (kind >= MKPartPrefAnglesDof1ID && kind <= MKPartPrefAnglesDof3ID);
  }
  static bool IsJointLimitsKind(MKPartID kind) {
    return kind == MKPartJointLimitsID ||
           (kind >= MKPartJointLimitsDof1ID && kind <= MKPartJointLimitsDof3ID);
  }
  // Whether records of this kind carry a time stamp when written by a container.
  static bool CarriesTimeStamp(MKPartID kind);
  // Whether a record of `kind` and `version` has its time stamp: records
  // older than 2.0 (2.02 for the anthropometric database reference) have
  // none. A container read from such a record keeps its version, so it is
  // written without one too, or it could not be read back.
  static bool IsStampedAt(MKPartID kind, double version) {
    return !(version < 2.0) && !(kind == MKPartAnthroDBReferenceID && version < 2.02);
  }
  static MKStatus WriteBeginTag(const MKPartID& kind, KelStreamDefinition& stream);
  static MKStatus WriteEndTag(const MKPartID& kind, KelStreamDefinition& stream);
  MKStatus WriteVersion(KelStreamDefinition& stream) const;
  MKStatus WriteLength(KelStreamDefinition& stream) const;
  MKStatus WriteTimeStamp(KelStreamDefinition& stream);
  static MKStatus ReadTag(KelStreamDefinition& stream, KelString& tag);
  static MKStatus ReadTagBegin(KelStreamDefinition& stream, KelString& tag);
  static MKStatus ReadVersion(KelStreamDefinition& stream, double& version);
  static MKStatus ReadLength(KelStreamDefinition& stream, unsigned int& length);
  static MKStatus ReadVersionAndLength(KelStreamDefinition& stream, double& version,
                                       unsigned int& length);
  // The header of a record: begin tag (its "B" removed), version and
  // length; 100 when any of them is missing or malformed.
  static MKStatus ReadRecordBegin(KelStreamDefinition& stream, KelString& tag, double& version,
                                  unsigned int& length);
  static MKStatus ReadTimeStamp(KelStreamDefinition& stream, long& timeStamp, const MKPartID& kind);
  // ReadTimeStamp that also answers the record's version, which decides the
  // fields of older records.
  static MKStatus ReadRecordHeader(KelStreamDefinition& stream, double& version, long& timeStamp,
                                   const MKPartID& kind);
  // Reads the end tag of a record of `kind`; 100 when it is another tag.
  static MKStatus ReadEndTag(KelStreamDefinition& stream, const MKPartID& kind);
  // Reads an optional memo (int 0, or int 1 and a memo record) into `memo`.
  static MKStatus ReadMemo(KelStreamDefinition& stream, MKManikinPart*& memo);
  // Reads an optional part of `kind` (a memo, a container or a registered
  // class): int 0 for none, or int 1 and its record. `part` is released
  // first and stays null for none or for a record newer than its reader,
  // which is skipped. 100 for another flag or another record.
  static MKStatus ReadOptionalPart(KelStreamDefinition& stream, MKPartID kind,
                                   MKManikinPart*& part);
  // Reads a container record of `kind` that holds exactly `count` child
  // records (a section of a manikin record) into a new part. The container
  // takes the record's version when it is newer than 2.01; children newer
  // than their reader are skipped. 100 for another record or a bad child.
  static MKStatus ReadCountedContainer(KelStreamDefinition& stream, MKPartID kind, int count,
                                       MKManikinPart*& part);
  // Writes an optional part: int 0 for none, else int 1 and the part's record.
  static MKStatus WriteOptionalPart(KelStreamDefinition& stream, MKManikinPart* part);

  // Reads one record into a new part owned by the caller (`part` is released first).
  static MKStatus ReadFromStream(KelStreamDefinition& stream, MKManikinPart*& part);
  // Reads a whole file into a new stream; `stream` stays null when that fails.
  static void GetStreamFromFile(const KelUnicodeString& path, KelStreamDefinition*& stream);
  // Reads the parts of a library file into `list` (parts owned by the caller).
  static MKStatus GetListOfManikinPartFromLibraryStream(const KelUnicodeString& path,
                                                        KelRawCollPV& list);
  // The database UUID of an anthropometry record; 100 for any other record.
  static MKStatus GetDatabaseUUID(KelStreamDefinition& stream, KelString& uuid);

 protected:
  // A new part of the class that reads records of `kind`, or null when no
  // class reads that kind. The new part's version is the newest it reads.
  static MKManikinPart* CreateReader(MKPartID kind);
  // The children of kind `childKind` whose owner short name is (or, with
  // `listed` false, is not) in `owners` and, unless `dofNumber` is -1, whose
  // DOF number is `dofNumber`: each is added to `target`.
  void AddChildrenOwnedBy(MKManikinPart& target, MKPartID childKind, const KelRawCollint& owners,
                          bool listed, int dofNumber) const;
  // Reads one framed child record (its begin tag already read as `tag`) and
  // pastes it on this part; skips a record newer than its reader.
  MKStatus ReadChild(KelStreamDefinition& stream, const KelString& tag);

  void SetTimeStamp(long stamp) { timeStamp = stamp; }
  void SetVersion(double newVersion) { version = newVersion; }

  // For its lifetime, the parts written that have no time stamp yet take
  // `stamp` in place of the clock: the parts of a record are written at
  // the moment of the record, so writing it again gives the same bytes.
  class EnclosingStamp {
   public:
    explicit EnclosingStamp(long stamp);
    ~EnclosingStamp();
    EnclosingStamp(const EnclosingStamp&) = delete;
    EnclosingStamp& operator=(const EnclosingStamp&) = delete;

   private:
    long previous;
  };

 private:
  MKPartID partID;
  double version;
  long timeStamp = 0;
  unsigned char loadedFromLibrary = 0;
  KelRawCollPV children;

 public:
  static const KelString sMKPartDefaultID;
  static const KelString sMKPartManikinID;
  static const KelString sMKPartLibraryID;
  static const KelString sMKPartAnthropometryID;
  static const KelString sMKPartAnthroVariableID;
  static const KelString sMKPartPostureID;
  static const KelString sMKPartPrefAnglesID;
  static const KelString sMKPartPrefAngleID;
  static const KelString sMKPartJointLimitsID;
  static const KelString sMKPartJointLimitsVariableID;
  static const KelString sMKPartIKConstraintsID;
  static const KelString sMKPartJointLimitsDBReferenceID;
  static const KelString sMKPartAnthroDBReferenceID;
  static const KelString sMKPartMemoID;
  static const KelString sMKPartIKSpecsID;
  static const KelString sMKPartVisionID;
  static const KelString sMKPartClothingID;
  static const KelString sMKPartPostureVariableID;
  static const KelString sMKPartIKConstraintID;
  static const KelString sMKPartVisualLimitsID;
  static const KelString sMKPartVisualLimitsVariableID;
  static const KelString sMKPartUserDBAnthroID;
  static const KelString sMKPartUserDBAnthroVariableID;
  static const KelString sMKPartUserDBJointLimitsID;
  static const KelString sMKPartUserDBJointLimitsVariableID;
  static const KelString sMKPartFrameID;
  static const KelString sMKPartSetID;
  static const KelString sMKPartJointLimitsDof1ID;
  static const KelString sMKPartJointLimitsDof2ID;
  static const KelString sMKPartJointLimitsDof3ID;
  static const KelString sMKPartPrefAnglesDof1ID;
  static const KelString sMKPartPrefAnglesDof2ID;
  static const KelString sMKPartPrefAnglesDof3ID;
};
