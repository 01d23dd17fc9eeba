#include "anthro/MKDatabaseManager.h"

#include "anthro/MKAppDatabaseManager.h"
#include "host/KelDataPath.h"
#include "parts/MKManikinPart.h"

namespace {

// Populations shipped as user database records in the data directory.
struct ShippedDB {
  const char* name;
  const char* file;
};
constexpr ShippedDB kShippedAnthroDBs[] = {{"US ARMY 2012", "USArmy2012.mkudb"}};

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

void MKDatabaseManager::SetAppDatabaseManager(MKAppDatabaseManager* provider) {
  const std::lock_guard<std::recursive_mutex> lock(mutex);
  appDatabaseManager = provider;
}

MKDatabaseManager::~MKDatabaseManager() {
  DestroyAll(userAnthroDBs);
  DestroyAll(userJointLimitsDBs);
}

MKDBAnthro* MKDatabaseManager::GetDefaultAnthroDB() {
  const std::lock_guard<std::recursive_mutex> lock(mutex);
  if (defaultAnthroDB.GetNumberOfVariables() == 0) defaultAnthroDB.CreateUSNatickDB();
  return &defaultAnthroDB;
}

MKDBAnthro* MKDatabaseManager::GetAnthroDB(const KelString& uuid) {
  const std::lock_guard<std::recursive_mutex> lock(mutex);
  if (uuid.Length() == 0) return nullptr;
  MKDBAnthro* builtIn = GetDefaultAnthroDB();
  if (UUIDOf(*builtIn) == uuid) return builtIn;
  MKDatabase* db = FindByUUID(userAnthroDBs, uuid);
  if (!db && appDatabaseManager) db = FindThroughProvider(MKPartUserDBAnthroID, uuid);
  // Only anthropometric databases ever enter this list.
  return static_cast<MKDBAnthro*>(db);
}

MKDBJointLimits* MKDatabaseManager::GetDefaultJointLimitsDB() {
  const std::lock_guard<std::recursive_mutex> lock(mutex);
  if (defaultJointLimitsDB.GetNumberOfVariables() == 0) defaultJointLimitsDB.CreateOrvaneDB();
  return &defaultJointLimitsDB;
}

MKDBJointLimits* MKDatabaseManager::GetJointLimitsDB(const KelString& uuid) {
  const std::lock_guard<std::recursive_mutex> lock(mutex);
  if (uuid.Length() == 0) return nullptr;
  MKDBJointLimits* builtIn = GetDefaultJointLimitsDB();
  if (UUIDOf(*builtIn) == uuid) return builtIn;
  MKDatabase* db = FindByUUID(userJointLimitsDBs, uuid);
  if (!db && appDatabaseManager) db = FindThroughProvider(MKPartUserDBJointLimitsID, uuid);
  // Only joint-limits databases ever enter this list.
  return static_cast<MKDBJointLimits*>(db);
}

unsigned int MKDatabaseManager::GetNumberOfUserAnthroDB() const {
  const std::lock_guard<std::recursive_mutex> lock(mutex);
  return static_cast<unsigned int>(userAnthroDBs.Size());
}

unsigned int MKDatabaseManager::GetNumberOfUserJointLimitsDB() const {
  const std::lock_guard<std::recursive_mutex> lock(mutex);
  return static_cast<unsigned int>(userJointLimitsDBs.Size());
}

MKUserDBAnthro* MKDatabaseManager::GetUserAnthroDBAtIndex(unsigned int index) const {
  const std::lock_guard<std::recursive_mutex> lock(mutex);
  if (index >= GetNumberOfUserAnthroDB()) return nullptr;
  return static_cast<MKUserDBAnthro*>(UserDatabaseAt(userAnthroDBs, static_cast<int>(index) + 1));
}

MKUserDBJointLimits* MKDatabaseManager::GetUserJointLimitsDBAtIndex(unsigned int index) const {
  const std::lock_guard<std::recursive_mutex> lock(mutex);
  if (index >= GetNumberOfUserJointLimitsDB()) return nullptr;
  return static_cast<MKUserDBJointLimits*>(
      UserDatabaseAt(userJointLimitsDBs, static_cast<int>(index) + 1));
}

KelUnicodeString MKDatabaseManager::GetShippedAnthroDBName(unsigned int index) {
  if (index >= sizeof(kShippedAnthroDBs) / sizeof(kShippedAnthroDBs[0])) return {};
  return KelUnicodeString(kShippedAnthroDBs[index].name);
}

MKDBAnthro* MKDatabaseManager::GetAnthroDBFromName(const KelUnicodeString& name) {
  const std::lock_guard<std::recursive_mutex> lock(mutex);
  MKDBAnthro* builtIn = GetDefaultAnthroDB();
  if (builtIn->GetName() == name) return builtIn;
  for (unsigned int i = 0; i < GetNumberOfUserAnthroDB(); ++i)
    if (MKUserDBAnthro* db = GetUserAnthroDBAtIndex(i); db && db->GetName() == name) return db;
  for (const ShippedDB& shipped : kShippedAnthroDBs) {
    if (KelUnicodeString(shipped.name) != name) continue;
    KelStreamDefinition* stream = nullptr;
    MKManikinPart::GetStreamFromFile(KelFindDataFile(shipped.file), stream);
    if (!stream) return nullptr;
    MKDatabase* loaded = nullptr;
    const MKStatus status = LoadDatabase(*stream, loaded);
    delete stream;
    // Only anthropometric databases are shipped under these names.
    return status == MKStatusSuccess && loaded->GetMKClassName() == MKDatabase::MKDBClassUserAnthro
               ? static_cast<MKDBAnthro*>(loaded)
               : nullptr;
  }
  return nullptr;
}

MKStatus MKDatabaseManager::LoadDatabase(KelStreamDefinition& stream, MKDatabase*& db) {
  const std::lock_guard<std::recursive_mutex> lock(mutex);
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
  const std::lock_guard<std::recursive_mutex> lock(mutex);
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
  const std::lock_guard<std::recursive_mutex> lock(mutex);
  return ++referenceCount;
}

unsigned int MKDatabaseManager::DeleteRefNumberOfDefaultDB() {
  const std::lock_guard<std::recursive_mutex> lock(mutex);
  if (--referenceCount == 0) {
    defaultAnthroDB.Clear();
    defaultJointLimitsDB.Clear();
    DestroyAll(userAnthroDBs);
    DestroyAll(userJointLimitsDBs);
  }
  return referenceCount;
}

MKStatus MKDatabaseManager::ReadUserDatabase(MKPartID kind, KelStreamDefinition& stream,
                                             MKDatabase*& db) {
  db = nullptr;
  MKStatus status = MKStatusStreamContent;
  if (kind == MKPartUserDBAnthroID) {
    auto* read = MKUserDBAnthro::Create();
    status = read->Read(stream);
    db = read;
  } else if (kind == MKPartUserDBJointLimitsID) {
    auto* read = MKUserDBJointLimits::Create();
    status = read->Read(stream);
    db = read;
  }
  if (status != MKStatusSuccess && db) {
    db->Destroy();
    db = nullptr;
  }
  return status;
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
