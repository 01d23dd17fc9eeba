#pragma once

#include <mutex>

#include "anthro/MKDBAnthro.h"
#include "anthro/MKDBJointLimits.h"
#include "anthro/MKDatabase.h"
#include "anthro/MKUserDBAnthro.h"
#include "anthro/MKUserDBJointLimits.h"
#include "host/KelRawColl.h"
#include "host/KelStreamDefinition.h"
#include "host/KelString.h"
#include "parts/MKPartID.h"
#include "parts/MKStatus.h"

class MKAppDatabaseManager;

// The process-wide registry of databases. It owns the built-in databases,
// built on first request and cleared when the last user releases them, and
// the user databases loaded from streams or found through the host's
// provider. Databases it hands out stay its own; callers keep plain pointers.
//
// Safe to call from several threads at once: each call holds the manager's
// lock, so the built-in databases are filled once and registrations do not
// collide. The databases handed out are read without it; removing one, or
// releasing the last reference, while another thread uses it is the host's
// to prevent.
class MKDatabaseManager {
 public:
  static MKDatabaseManager* GetInstance();
  // The bound on anthropometric reference numbers accepted from streams.
  static unsigned int GetMaxAnthroDBVariables() { return 302; }

  // The built-in anthropometric database "US NATICK", filled on first use.
  MKDBAnthro* GetDefaultAnthroDB();
  // As GetJointLimitsDB, for anthropometric databases.
  MKDBAnthro* GetAnthroDB(const KelString& uuid);

  // The built-in joint-limits database, filled on first use.
  MKDBJointLimits* GetDefaultJointLimitsDB();
  // The built-in or a registered user database with that UUID; otherwise
  // the first one of the host's provider with it, which is then registered.
  // Null for an empty UUID or when no database has it.
  MKDBJointLimits* GetJointLimitsDB(const KelString& uuid);

  // Registered user databases, removed ones included (as empty places).
  unsigned int GetNumberOfUserAnthroDB() const;
  unsigned int GetNumberOfUserJointLimitsDB() const;
  // 0-based; null beyond the count and at a removed database's place.
  MKUserDBAnthro* GetUserAnthroDBAtIndex(unsigned int index) const;
  MKUserDBJointLimits* GetUserJointLimitsDBAtIndex(unsigned int index) const;

  // The populations shipped with the library besides the built-in one, by
  // name: 0-based, empty beyond the count.
  static KelUnicodeString GetShippedAnthroDBName(unsigned int index);
  // The anthropometric database of that exact name: the built-in one, a
  // registered user database, or a shipped population, which is then read
  // from the data directory and registered. Null when none has that name or
  // its data file cannot be read.
  MKDBAnthro* GetAnthroDBFromName(const KelUnicodeString& name);

  // Reads one user database record from the start of `stream` and registers
  // it, or hands back the registered database of the same kind and UUID.
  // 100 when the first tag names no user database; otherwise the status of
  // the failing read. `db` is null unless the status is 0.
  MKStatus LoadDatabase(KelStreamDefinition& stream, MKDatabase*& db);
  // Destroys the registered user databases that are `db` or share its UUID,
  // leaving their places empty. Built-in databases are never removed.
  void RemoveDatabase(MKDatabase* db);

  // The host's provider of further databases; not owned; null for none.
  void SetAppDatabaseManager(MKAppDatabaseManager* provider);

  // Users of the built-in databases, counted by the host. Both answer the new
  // count; the last release clears the built-in databases and destroys every
  // user database.
  unsigned int AddRefNumberOfDefaultDB();
  unsigned int DeleteRefNumberOfDefaultDB();

 private:
  MKDatabaseManager() = default;
  ~MKDatabaseManager();
  MKDatabaseManager(const MKDatabaseManager&) = delete;
  MKDatabaseManager& operator=(const MKDatabaseManager&) = delete;

  using StreamRequest = MKStatus (MKAppDatabaseManager::*)(KelStreamDefinition*&);

  // Reads the user database record of `kind` at the stream's position into a
  // new database owned by the caller.
  static MKStatus ReadUserDatabase(MKPartID kind, KelStreamDefinition& stream, MKDatabase*& db);
  // Asks the provider for databases of `kind` until one has `uuid`, and
  // registers that one.
  MKDatabase* FindThroughProvider(MKPartID kind, const KelString& uuid);
  KelRawCollPV& UserDatabases(MKPartID kind);
  static MKDatabase* UserDatabaseAt(const KelRawCollPV& list, int position);
  static MKDatabase* FindByUUID(const KelRawCollPV& list, const KelString& uuid);
  static void DestroyAll(KelRawCollPV& list);

  // Recursive: reading a user database asks for the built-in one, and a
  // lookup by name registers what it loads.
  mutable std::recursive_mutex mutex;
  // User databases, held as MKDatabase pointers; a removed one leaves a null.
  KelRawCollPV userAnthroDBs;
  KelRawCollPV userJointLimitsDBs;
  unsigned int referenceCount = 0;
  MKDBAnthro defaultAnthroDB;
  MKDBJointLimits defaultJointLimitsDB;
  MKAppDatabaseManager* appDatabaseManager = nullptr;
};
