#pragma once

#include <string_view>

#include "vesk/data_access/connection.h"

namespace vesk::data_access {

// One level of a connection's transactions, rolled back when it goes out of scope without
// Commit. Levels nest (an inner one is a savepoint). Not copyable.
class Transaction {
public:
    // Begins a level on `connection`. Throws DataAccessError when it cannot.
    explicit Transaction(ConnectionPtr connection);
    // Begins a level holding the right to write `table` (Connection::BeginWriteTrans).
    Transaction(ConnectionPtr connection, std::string_view table);
    // Rolls back unless committed or rolled back already. Never throws.
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    // Keeps the changes of this level. Throws DataAccessError when the engine refuses; the
    // level is over either way.
    void Commit();
    // Undoes the changes of this level. Throws DataAccessError when the engine refuses.
    void Rollback();
    bool IsOpen() const { return m_open; }

private:
    ConnectionPtr m_connection;
    bool m_open = false;
};

}  // namespace vesk::data_access
