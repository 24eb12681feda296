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

inline constexpr const char* kTransactionLostMessage =
    "the connection to the database server was lost inside a transaction; the server has "
    "rolled the transaction back";

// The open connection of a catalog in db: opened on first use, and opened anew when the
// server has ended it (except inside a transaction: that fails once with
// kTransactionLostMessage). False with the description in error.
bool OpenQtConnection(std::string_view connectionString, QSqlDatabase& db, std::string& error);
