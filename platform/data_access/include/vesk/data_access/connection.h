#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "vesk/data_access/enums.h"

namespace vesk::data_access {

namespace detail {
class Backend;
}

// What a traced statement was issued for.
enum class StatementKind { Command, Query };

// Sees each statement a connection runs for its callers: the text of Execute and the
// source of each record set opened on the connection.
using StatementTrace = std::function<void(StatementKind kind, std::string_view sql)>;

// An open session with one database, shared by the record sets and catalogs that use it
// (hold it through std::shared_ptr). Threads: opening, closing, transactions and settings
// belong to one thread at a time. When SerializesUse() is true (the server), record sets of
// their own on two threads may read and write through it at once, the connection taking their
// statements one after the other; otherwise (the embedded engine) one thread uses it at a time.
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
    // Opens a session of its own on the database `other` was opened on: its connection text
    // and the user and password given to its Open, which the text alone may lack. Throws as
    // Open does.
    void OpenAlike(const Connection& other);

    // Runs one statement; rows it returns are discarded. Returns the number of rows the
    // statement inserted, changed or deleted (0 for data definition). Throws DataAccessError
    // with the engine's description when the statement fails or the connection is closed.
    long Execute(std::string_view sql);

    // Transactions, which nest: BeginTrans returns the new level (1 for the outermost);
    // CommitTrans keeps and RollbackTrans undoes the changes since the matching BeginTrans.
    // Throw DataAccessError when the connection is closed or no transaction is open.
    long BeginTrans();
    // BeginTrans, holding from the start the right to write `table` (named as it stands in the
    // caller's statements) until the transaction ends: a second writer that asks for the same
    // right waits for it, so that a check and the writes that depend on it see no other
    // writer's changes between them. The embedded engine takes the file's write lock before
    // anything is read (waiting up to its busy timeout); the server takes the table's SHARE ROW
    // EXCLUSIVE lock, which also makes plain INSERT, UPDATE and DELETE of others wait. Inside a
    // transaction that is open already, the embedded engine relies on that one's locks.
    long BeginWriteTrans(std::string_view table);
    void CommitTrans();
    void RollbackTrans();
    // Runs `outcome` once the changes made so far in the open transaction are settled: with
    // true when the outermost level commits, with false as soon as a level holding them rolls
    // back (or fails to commit); at once with true when no transaction is open. For work
    // outside the database that must follow the rows, such as a file written for a new row.
    // Closing the connection settles what is pending as rolled back.
    void WhenTransactionEnds(std::function<void(bool committed)> outcome);

    // Accepted and kept for callers that set it (128 asks for nothing this layer changes).
    long Attributes() const { return m_attributes; }
    void SetAttributes(long attributes) { m_attributes = attributes; }

    // A literal that stores `value` in a yes/no column of this database, whatever type the
    // column was made with (boolean, bit, smallint, integer), for statements such as
    // "UPDATE t SET mark = " + BooleanLiteral(false). Throws DataAccessError when closed.
    std::string BooleanLiteral(bool value);

    // Whether deletes overwrite the space they free in the file (the embedded engine's
    // secure_delete, on in this build): sets it for this session and returns what it was, to
    // be set back; nothing on the server, which has no such setting. Throws DataAccessError
    // when the connection is closed or the engine refuses.
    std::optional<bool> SetOverwritesFreedSpace(bool overwrite);

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

    // Ends the innermost level's waiting outcomes: into the enclosing level on a commit, else
    // run with `committed`.
    void SettleLevel(bool committed);

    std::string m_connectionString;
    std::string m_user;      // given to Open beside the text; kept for OpenAlike only
    std::string m_password;  // likewise; never part of ConnectionString
    long m_attributes = 0;
    // The outcomes waiting on each open level, outermost first.
    std::vector<std::vector<std::function<void(bool)>>> m_pendingOutcomes;
    std::unique_ptr<detail::Backend> m_backend;
    StatementTrace m_trace;
};

using ConnectionPtr = std::shared_ptr<Connection>;

}  // namespace vesk::data_access
