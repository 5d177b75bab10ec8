#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "vesk/data_access/connection_text.h"

struct pg_conn;
struct pg_result;

namespace vesk::data_access::detail {

struct PgResultFree {
    void operator()(pg_result* result) const;
};

// A server result, cleared when it goes.
using PgResult = std::unique_ptr<pg_result, PgResultFree>;

// A statement parameter: text in the server's input form, or (binary) the raw bytes of a
// bytea value. No value is Null.
struct PgParam {
    std::optional<std::string> value;
    bool binary = false;
};

// How result values come back: as text, or as raw bytes (for pieces of bytea values).
enum class PgFormat { Text = 0, Binary = 1 };

// One server session, shared by the backend and its cursors. After Close the session refuses
// use. Inside a transaction block each statement runs under a savepoint of its own, so that a
// failing statement undoes only itself and the transaction goes on, as on the embedded engine.
// Threads take turns: each statement, and each multi-statement step that holds Use(), runs
// whole before another thread's statement starts.
class PgSession {
public:
    // Connects with the settings; a non-empty `database` replaces the database they name.
    // Throws DataAccessError with the server's (or the client library's) message.
    static std::shared_ptr<PgSession> Connect(const ConnectionSettings& settings,
                                              std::string_view database = {});

    explicit PgSession(pg_conn* handle);
    ~PgSession();
    PgSession(const PgSession&) = delete;
    PgSession& operator=(const PgSession&) = delete;

    // Holds the session for the calling thread until the lock goes (the thread may go on
    // using the session meanwhile).
    [[nodiscard]] std::unique_lock<std::recursive_mutex> Use() { return std::unique_lock(m_use); }

    // The client handle; throws DataAccessError when the session is closed.
    pg_conn* Handle() const;
    void Close();
    // True inside a transaction block (one the host began, or a savepoint of this layer's).
    bool InTransaction() const;

    // Runs one statement with parameters ($1, $2, ...). Throws DataAccessError carrying the
    // server's message, its SQLSTATE as engine code, and `sql`.
    PgResult Exec(std::string_view sql, const std::vector<PgParam>& params = {},
                  PgFormat format = PgFormat::Text);
    // Prepares `sql` as the unnamed statement and returns the description of its result
    // columns (none for a statement that returns no rows). Throws as Exec.
    PgResult Describe(std::string_view sql);
    // Runs statements of this layer's own (session settings, transaction control), several
    // separated by ';', without a statement savepoint. Throws as Exec.
    void Run(std::string_view sql);

    // Sends data for "COPY ... FROM STDIN": `feed` is given a sender for the bytes. When
    // `feed` throws, the copy is cancelled and the error goes on. Runs only inside a scope of
    // this layer's own (PgSavepoint), which undoes a partial copy. Returns the rows the table
    // took.
    using CopySender = std::function<void(std::span<const std::uint8_t>)>;
    std::int64_t CopyIn(std::string_view sql, const std::function<void(const CopySender&)>& feed);

    // Marks a savepoint of this layer's own as open or closed: while one is, a failing
    // statement is left to it and gets no savepoint of its own.
    void EnterOwnScope() { ++m_ownScopes; }
    void LeaveOwnScope() { --m_ownScopes; }

private:
    PgResult Guarded(std::string_view sql, const std::function<PgResult()>& run);
    PgResult Checked(pg_result* result, std::string_view sql) const;
    [[noreturn]] void ThrowError(const pg_result* result, std::string_view sql) const;
    void DrainResults() const;

    pg_conn* m_handle;
    bool m_open = true;
    std::recursive_mutex m_use;
    int m_ownScopes = 0;
};

using PgSessionPtr = std::shared_ptr<PgSession>;

// A message of the client library about connecting with `settings`, with the passwords they
// hold masked wherever it repeats them (a URI it could not read, say).
std::string HidePasswords(std::string_view message, const ConnectionSettings& settings);

}  // namespace vesk::data_access::detail
