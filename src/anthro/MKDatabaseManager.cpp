#include "anthro/MKDatabaseManager.h"

#include "anthro/MKAppDatabaseManager.h"
#include "parts/MKManikinPart.h"

namespace {

KelString UUIDOf(const MKDatabase& db) {
  KelString uuid;
  db.GetUUID(uuid);
  return uuid;
}

}  // namespace

MKDatabaseManager* MKDatabaseManager::GetInstance() {
  // Built on first use, so that it never runs before the static strings of
  // other translation units that its databases rely on.
  static MKDatabaseManager instance;
  return &instance;
}

MKDatabaseManager::~MKDatabaseManager() {
  DestroyAll(userAnthroDBs);
  DestroyAll(userJointLimitsDBs);
}

MKDBAnthro* MKDatabaseManager::GetDefaultAnthroDB() {
  if (defaultAnthroDB.GetNumberOfVariables() == 0) defaultAnthroDB.CreateUSNatickDB();
  return &defaultAnthroDB;
}

MKDBAnthro* MKDatabaseManager::GetAnthroDB(const KelString& uuid) {
  if (uuid.Length() == 0) return nullptr;
  MKDBAnthro* builtIn = GetDefaultAnthroDB();
  if (UUIDOf(*builtIn) == uuid) return builtIn;
  MKDatabase* db = FindByUUID(userAnthroDBs, uuid);
  if (!db && appDatabaseManager) db = FindThroughProvider(MKPartUserDBAnthroID, uuid);
  // Only anthropometric databases ever enter this list.
  return static_cast<MKDBAnthro*>(db);
}

MKDBJointLimits* MKDatabaseManager::GetDefaultJointLimitsDB() {
  if (defaultJointLimitsDB.GetNumberOfVariables() == 0) defaultJointLimitsDB.CreateOrvaneDB();
  return &defaultJointLimitsDB;
}

MKDBJointLimits* MKDatabaseManager::GetJointLimitsDB(const KelString& uuid) {
  if (uuid.Length() == 0) return nullptr;
  MKDBJointLimits* builtIn = GetDefaultJointLimitsDB();
  if (UUIDOf(*builtIn) == uuid) return builtIn;
  MKDatabase* db = FindByUUID(userJointLimitsDBs, uuid);
  if (!db && appDatabaseManager) db = FindThroughProvider(MKPartUserDBJointLimitsID, uuid);
  // Only joint-limits databases ever enter this list.
  return static_cast<MKDBJointLimits*>(db);
}

unsigned int MKDatabaseManager::GetNumberOfUserAnthroDB() const {
  return static_cast<unsigned int>(userAnthroDBs.Size());
}

unsigned int MKDatabaseManager::GetNumberOfUserJointLimitsDB() const {
  return static_cast<unsigned int>(userJointLimitsDBs.Size());
}

MKDBAnthro* MKDatabaseManager::GetUserAnthroDBAtIndex(unsigned int index) const {
  if (index >= GetNumberOfUserAnthroDB()) return nullptr;
  return static_cast<MKDBAnthro*>(UserDatabaseAt(userAnthroDBs, static_cast<int>(index) + 1));
}

MKStatus MKDatabaseManager::LoadDatabase(KelStreamDefinition& stream, MKDatabase*& db) {
  db = nullptr;
  KelString tag;
  MKStatus status = MKManikinPart::ReadTagBegin(stream, tag);
  if (status != MKStatusSuccess) return status;
  MKPartID kind;
  if (tag == MKManikinPart::ConvertPartIDToString(MKPartUserDBAnthroID))
    kind = MKPartUserDBAnthroID;
  else if (tag == MKManikinPart::ConvertPartIDToString(MKPartUserDBJointLimitsID))
    kind = MKPartUserDBJointLimitsID;
  else
    return MKStatusStreamContent;

  // The database reader expects the whole record, begin tag included.
  stream.Reset();
  MKDatabase* read = nullptr;
  status = ReadUserDatabase(kind, stream, read);
  if (status != MKStatusSuccess || !read) {
    if (read) read->Destroy();
    return status != MKStatusSuccess ? status : MKStatus(MKStatusStreamContent);
  }
  KelRawCollPV& list = UserDatabases(kind);
  if (MKDatabase* known = FindByUUID(list, UUIDOf(*read))) {
    read->Destroy();
    db = known;
  } else {
    list.Append(read);
    db = read;
  }
  return MKStatusSuccess;
}

void MKDatabaseManager::RemoveDatabase(MKDatabase* db) {
  if (!db) return;
  KelRawCollPV* list = nullptr;
  if (db->GetMKClassName() == MKDatabase::MKDBClassUserAnthro)
    list = &userAnthroDBs;
  else if (db->GetMKClassName() == MKDatabase::MKDBClassUserJointLimits)
    list = &userJointLimitsDBs;
  if (!list) return;
  // Taken before the loop: db itself may be one of the entries destroyed.
  const KelString uuid = UUIDOf(*db);
  for (int i = 1; i <= list->Size(); ++i) {
    MKDatabase* entry = UserDatabaseAt(*list, i);
    if (entry && (entry == db || UUIDOf(*entry) == uuid)) {
      entry->Destroy();
      (*list)[i] = nullptr;
    }
  }
}

unsigned int MKDatabaseManager::AddRefNumberOfDefaultDB() {
  return ++referenceCount;
}

unsigned int MKDatabaseManager::DeleteRefNumberOfDefaultDB() {
  if (--referenceCount == 0) {
    defaultAnthroDB.Clear();
    defaultJointLimitsDB.Clear();
    DestroyAll(userAnthroDBs);
    DestroyAll(userJointLimitsDBs);
  }
  return referenceCount;
}

MKStatus MKDatabaseManager::ReadUserDatabase(MKPartID, KelStreamDefinition&, MKDatabase*& db) {
  db = nullptr;
  // No class of the library reads user database records (kinds 21 and 23)
  // yet: such a record is a kind that no reader handles.
  return MKStatusStreamContent;
}

MKDatabase* MKDatabaseManager::FindThroughProvider(MKPartID kind, const KelString& uuid) {
  const bool anthro = kind == MKPartUserDBAnthroID;
  const StreamRequest first = anthro ? &MKAppDatabaseManager::GetFirstAnthroDBStream
                                     : &MKAppDatabaseManager::GetFirstJointLimitsDBStream;
  const StreamRequest next = anthro ? &MKAppDatabaseManager::GetNextAnthroDBStream
                                    : &MKAppDatabaseManager::GetNextJointLimitsDBStream;
  KelStreamDefinition* stream = nullptr;
  for (MKStatus status = (appDatabaseManager->*first)(stream); status != MKStatusDatabaseManager;
       status = (appDatabaseManager->*next)(stream)) {
    // A stream comes only with status 0; other answers are skipped.
    if (status == MKStatusSuccess && stream) {
      MKDatabase* read = nullptr;
      const MKStatus readStatus = ReadUserDatabase(kind, *stream, read);
      delete stream;
      if (readStatus == MKStatusSuccess && read && UUIDOf(*read) == uuid) {
        UserDatabases(kind).Append(read);
        return read;
      }
      if (read) read->Destroy();
    }
    stream = nullptr;
  }
  return nullptr;
}

KelRawCollPV& MKDatabaseManager::UserDatabases(MKPartID kind) {
  return kind == MKPartUserDBAnthroID ? userAnthroDBs : userJointLimitsDBs;
}

MKDatabase* MKDatabaseManager::UserDatabaseAt(const KelRawCollPV& list, int position) {
  return static_cast<MKDatabase*>(list[position]);
}

MKDatabase* MKDatabaseManager::FindByUUID(const KelRawCollPV& list, const KelString& uuid) {
  for (int i = 1; i <= list.Size(); ++i) {
    MKDatabase* db = UserDatabaseAt(list, i);
    if (db && UUIDOf(*db) == uuid) return db;
  }
  return nullptr;
}

void MKDatabaseManager::DestroyAll(KelRawCollPV& list) {
  for (int i = 1; i <= list.Size(); ++i)
    if (MKDatabase* db = UserDatabaseAt(list, i)) db->Destroy();
  list.RemoveAll();
}
