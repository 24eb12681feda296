#pragma once
// Asks the engine itself whether a catalog's connection is inside a transaction: SQLite's
// autocommit flag, PostgreSQL's transaction status. A test that makes a write fail checks
// with it that nothing was left open.
#include <string>

#include "foundation/state.h"

bool InsideTransaction(const CatalogConnection& catalog);

// A table pair on a catalog whose deferred foreign key fails at commit once
// BreakAtCommitStatement() has run inside the transaction: the way to make a commit fail.
void MakeCommitBreakable(const CatalogConnection& catalog);
std::string BreakAtCommitStatement();

// "ok" when SQLite finds the catalog's file sound (PRAGMA integrity_check), else its
// findings; "ok" on PostgreSQL, whose server keeps its own files sound.
std::string IntegrityCheck(const CatalogConnection& catalog);
