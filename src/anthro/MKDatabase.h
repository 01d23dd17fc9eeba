#pragma once

#include "host/KelString.h"
#include "host/KelUnicodeString.h"
#include "parts/MKMemo.h"
#include "parts/MKStatus.h"

// Common base of the population databases: a name, the UUID that manikin
// streams use to refer to the database, a revision number and a memo.
//
// The revision number advances by sVersionIncrement each time a changed
// database is written, unless a revision was set explicitly; a loaded
// database also keeps a floor below which the revision cannot be set.
class MKDatabase {
 public:
  // Concrete kinds, as answered by GetMKClassName().
  enum MKDatabaseClass {
    MKDBClassAnthro = 1,
    MKDBClassUserAnthro = 2,
    MKDBClassJointLimits = 3,
    MKDBClassUserJointLimits = 4
  };

  static constexpr double sVersionIncrement = 0.01;

  // A new database gets a freshly generated UUID and revision 1.0.
  explicit MKDatabase(const KelUnicodeString& name = KelUnicodeString());
  // Copies every field, the kind and the UUID included.
  MKDatabase(const MKDatabase& source);
  // Copies everything but the kind.
  MKDatabase& operator=(const MKDatabase& source);

  // The virtual operations, in their fixed slot order.
  virtual ~MKDatabase();
  virtual unsigned int GetSize() const = 0;

  // Deletes the database through its virtual destructor.
  void Destroy() { delete this; }

  KelUnicodeString GetName() const { return name; }
  void SetName(const KelUnicodeString& newName) { name = newName; }
  void GetUUID(KelString& uuid) const { uuid = this->uuid; }
  int GetMKClassName() const { return classCode; }

  double GetRevisionNumber() const { return revisionNumber; }
  // Ignored for a value below the revision floor; otherwise also marks the
  // revision as explicitly set, which stops IncrementRevisionNumber.
  void SetRevisionNumber(double revision);
  // Adds sVersionIncrement when the database was modified and no revision
  // was set explicitly.
  void IncrementRevisionNumber();

  MKMemo* GetMemo() { return &memo; }
  const MKMemo* GetMemo() const { return &memo; }
  // 4, and no change, for a text longer than the memo takes.
  MKStatus SetMemo(const KelUnicodeString& text) { return memo.SetText(text); }

 protected:
  void SetMKClassName(int code) { classCode = code; }
  void SetUUID(const KelString& newUUID) { uuid = newUUID; }
  double GetRevisionFloor() const { return revisionFloor; }
  void SetRevisionFloor(double floor) { revisionFloor = floor; }
  unsigned char IsModified() const { return modified; }
  void SetModified(unsigned char flag) { modified = flag; }
  unsigned char IsRevisionSet() const { return revisionSet; }
  // The identity of a database read from a stream: its revision is also
  // the floor, and it counts as unchanged.
  void SetLoaded(const KelUnicodeString& newName, const MKMemo& newMemo, const KelString& newUUID,
                 double revision);

 private:
  int classCode = 0;
  KelString uuid;
  double revisionNumber = 1.0;
  KelUnicodeString name;
  double revisionFloor = 0.0;
  MKMemo memo;
  unsigned char modified = 0;
  unsigned char revisionSet = 0;
};
