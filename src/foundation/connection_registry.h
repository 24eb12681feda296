#pragma once
// The persistent connections of the catalogs: one Qt connection per connection string and
// thread, opened on first use and kept until it is closed. Each function works on the
// calling thread's connections.
#include <string>
#include <string_view>

class QSqlDatabase;

// Opens (or reuses) the connection of a catalog; false with the description in error.
bool ConnectCatalog(std::string_view connectionString, std::string& error);
// Closes the persistent connection of one catalog, when it is open.
void DisconnectCatalog(std::string_view connectionString);
// Closes every catalog's connection.
void DisconnectAllCatalogs();
// Closes the connections of the SQLite catalogs only; those of a server stay open.
void DisconnectFileCatalogs();

inline constexpr const char* kTransactionLostMessage =
    "the connection to the database server was lost inside a transaction; the server has "
    "rolled the transaction back";

// The open connection of a catalog in db: opened on first use, and opened anew when the
// server has ended it or it was closed for an answer that did not come. Not inside the
// owner's transaction: then every statement fails with kTransactionLostMessage until the
// owner rolls back, so that none of them runs outside the transaction it belongs to.
// False with the description in error.
bool OpenQtConnection(std::string_view connectionString, QSqlDatabase& db, std::string& error);

// The owner's transaction on the calling thread's connection of a catalog: open from a
// BEGIN that succeeded to the COMMIT or ROLLBACK that ran.
void MarkTransaction(std::string_view connectionString, bool open);
bool InOwnTransaction(std::string_view connectionString);
// A rollback of a transaction whose connection was lost: the server has already rolled it
// back, so the connection is only closed (the next statement opens it anew) and true comes
// back. False when the transaction's connection is whole, or there is none.
bool ForgetLostTransaction(std::string_view connectionString);
