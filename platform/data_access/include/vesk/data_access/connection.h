#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "vesk/data_access/enums.h"

namespace vesk::data {

namespace detail {
class Backend;
}

// What a traced statement was issued for.
enum class StatementKind { Command, Query };

// Sees each statement a connection runs for its callers: the text of Execute and the
// source of each record set opened on the connection.
using StatementTrace = std::function<void(StatementKind kind, std::string_view sql)>;

// An open session with one database, shared by the record sets and catalogs that use it
// (hold it through std::shared_ptr). Not thread-safe: one thread uses it at a time.
class Connection : public std::enable_shared_from_this<Connection> {
public:
    Connection();
    ~Connection();
    Connection(const Connection&) = delete;
    Connection& operator=(const Connection&) = delete;

    // The text Open uses when it is given none. Setting it on an open connection throws.
    const std::string& ConnectionString() const { return m_connectionString; }
    void SetConnectionString(std::string_view text);

    // Opens the database named by `connectionText` (or by ConnectionString when empty).
    // `user` and `password`, when given, override those of the text. Throws DataAccessError
    // when the text is unknown, the database is missing, or the key is wrong; the
    // connection then stays closed.
    void Open(std::string_view connectionText = {}, std::string_view user = {},
              std::string_view password = {});

    // Runs one statement; rows it returns are discarded. Returns the number of rows the
    // statement inserted, changed or deleted (0 for data definition). Throws DataAccessError
    // with the engine's description when the statement fails or the connection is closed.
    long Execute(std::string_view sql);

    // Transactions, which nest: BeginTrans returns the new level (1 for the outermost);
    // CommitTrans keeps and RollbackTrans undoes the changes since the matching BeginTrans.
    // Throw DataAccessError when the connection is closed or no transaction is open.
    long BeginTrans();
    void CommitTrans();
    void RollbackTrans();

    // Accepted and kept for callers that set it (128 asks for nothing this layer changes).
    long Attributes() const { return m_attributes; }
    void SetAttributes(long attributes) { m_attributes = attributes; }

    ObjectStateEnum State() const;
    // Whether two threads may use the open connection at once, each through record sets of
    // its own, the engine taking their statements one after the other: true for the server,
    // false for the embedded engine, whose connection serves one thread at a time.
    bool SerializesUse() const;
    // Closes the session; open record sets over it can no longer read. Never throws.
    void Close();

    // Installs (or, with an empty function, removes) the statement trace.
    void SetStatementTrace(StatementTrace trace);

    // The engine session; throws DataAccessError when the connection is closed.
    detail::Backend& Backend();

    // How many statements that may write (commands, rows stored, commits) the connections of
    // this process have run so far. Unchanged across a stretch of time: nothing in this
    // process wrote to a database meanwhile.
    static std::uint64_t WritesInProcess();

private:
    void Trace(StatementKind kind, std::string_view sql) const;
    static void NoteWrite();
    friend class Recordset;

    std::string m_connectionString;
    long m_attributes = 0;
    std::unique_ptr<detail::Backend> m_backend;
    StatementTrace m_trace;
};

using ConnectionPtr = std::shared_ptr<Connection>;

}  // namespace vesk::data
