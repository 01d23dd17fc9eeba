#pragma once

#include "host/KelStreamDefinition.h"
#include "parts/MKStatus.h"

// The host application's source of user databases stored in its documents,
// registered with MKDatabaseManager::SetAppDatabaseManager. The library asks
// for the first stream of a kind and then for the next ones until the answer
// is 1200.
//
// Each operation sets `stream` to a new stream positioned on one database
// record and answers 0, or answers 1200 when there are no more. Any other
// status skips that answer. The library destroys every stream it is given
// (with delete) after reading it; it never destroys the provider itself,
// which stays the host's.
class MKAppDatabaseManager {
 public:
  virtual MKStatus GetFirstAnthroDBStream(KelStreamDefinition*& stream) = 0;
  virtual MKStatus GetNextAnthroDBStream(KelStreamDefinition*& stream) = 0;
  virtual MKStatus GetFirstJointLimitsDBStream(KelStreamDefinition*& stream) = 0;
  virtual MKStatus GetNextJointLimitsDBStream(KelStreamDefinition*& stream) = 0;

 protected:
  MKAppDatabaseManager() = default;
  MKAppDatabaseManager(const MKAppDatabaseManager&) = default;
  MKAppDatabaseManager& operator=(const MKAppDatabaseManager&) = default;
  // Not virtual: the four operations are the whole interface, and the
  // library never deletes a provider.
  ~MKAppDatabaseManager() = default;
};
