#include "postgres/pg_session.h"

#include <libpq-fe.h>

#include <utility>

#include <fmt/format.h>

#include "sql_tokens.h"
#include "text_util.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/password_mask.h"

namespace vesk::data_access::detail {

namespace {

// Session settings the value conversions rely on: ISO dates, exact floating-point text,
// money without a locale's symbols, and backslashes taken literally in quoted values.
constexpr const char* kSessionSettings =
    "SET DateStyle = 'ISO, MDY'; SET extra_float_digits = 3; SET lc_monetary = 'C'; "
    "SET bytea_output = 'hex'; SET standard_conforming_strings = on";

constexpr const char* kStatementSavepoint = "vesk_statement";

// Notices (a table that exists already, a savepoint released twice) say nothing a caller acts
// on; the client library would print them to standard error.
void IgnoreNotice(void*, const char*) {}

using Keywords = std::vector<std::pair<std::string, std::string>>;

Keywords ConnectionKeywords(const ConnectionSettings& settings, std::string_view database) {
    Keywords keywords = {
        {"connect_timeout", "10"}, {"client_encoding", "UTF8"}, {"application_name", "vesk"}};
    if (!settings.uri.empty()) {
        keywords.emplace_back("dbname", settings.uri);
    } else {
        keywords.emplace_back("host", settings.host);
        keywords.emplace_back("port", settings.port);
        keywords.emplace_back("dbname", settings.database);
    }
    // Entries after the URI override what it says.
    keywords.emplace_back("user", settings.user);
    keywords.emplace_back("password", settings.password);
    keywords.emplace_back("dbname", std::string(database));
    return keywords;
}

pg_conn* ConnectWith(const Keywords& keywords, bool expandUri) {
    std::vector<const char*> names;
    std::vector<const char*> values;
    for (const auto& [name, value] : keywords) {
        if (!value.empty()) {
            names.push_back(name.c_str());
            values.push_back(value.c_str());
        }
    }
    names.push_back(nullptr);
    values.push_back(nullptr);
    return PQconnectdbParams(names.data(), values.data(), expandUri ? 1 : 0);
}

// Statements that open, end or mark a transaction themselves must not run under a statement
// savepoint: the savepoint would end with them, or hide theirs.
bool IsTransactionControl(std::string_view sql) {
    std::vector<Token> tokens = Tokenize(sql);
    if (tokens.empty()) {
        return false;
    }
    for (std::string_view word :
         {"BEGIN", "START", "COMMIT", "END", "ROLLBACK", "ABORT", "SAVEPOINT", "RELEASE"}) {
        if (tokens[0].Is(word)) {
            return true;
        }
    }
    return false;
}

}  // namespace

std::string HidePasswords(std::string_view message, const ConnectionSettings& settings) {
    std::string hidden = WithoutSecret(MaskPasswords(message), settings.password);
    return WithoutSecret(std::move(hidden), UriPassword(settings.uri));
}

void PgResultFree::operator()(pg_result* result) const {
    PQclear(result);
}

std::shared_ptr<PgSession> PgSession::Connect(const ConnectionSettings& settings,
                                              std::string_view database) {
    pg_conn* handle = ConnectWith(ConnectionKeywords(settings, database), !settings.uri.empty());
    if (!handle) {
        throw DataAccessError("Cannot connect to the PostgreSQL server: out of memory");
    }
    auto session = std::make_shared<PgSession>(handle);
    if (PQstatus(handle) != CONNECTION_OK) {
        throw DataAccessError(fmt::format("Cannot connect to the PostgreSQL server: {}",
                                          HidePasswords(Trim(PQerrorMessage(handle)), settings)));
    }
    PQsetNoticeProcessor(handle, IgnoreNotice, nullptr);
    session->Run(kSessionSettings);
    return session;
}

PgSession::PgSession(pg_conn* handle) : m_handle(handle) {}

PgSession::~PgSession() {
    Close();
}

pg_conn* PgSession::Handle() const {
    if (!m_open) {
        throw DataAccessError("Operation is not allowed when the object is closed.");
    }
    return m_handle;
}

void PgSession::Close() {
    auto use = Use();
    if (m_open) {
        m_open = false;
        PQfinish(m_handle);
    }
}

bool PgSession::InTransaction() const {
    PGTransactionStatusType status = PQtransactionStatus(Handle());
    return status == PQTRANS_INTRANS || status == PQTRANS_INERROR;
}

PgResult PgSession::Exec(std::string_view sql, const std::vector<PgParam>& params,
                         PgFormat format) {
    auto use = Use();
    return Guarded(sql, [&] {
        std::string text(sql);
        std::vector<const char*> values;
        std::vector<int> lengths;
        std::vector<int> formats;
        for (const PgParam& param : params) {
            values.push_back(param.value ? param.value->data() : nullptr);
            lengths.push_back(param.value ? static_cast<int>(param.value->size()) : 0);
            formats.push_back(param.binary ? 1 : 0);
        }
        return Checked(
            PQexecParams(Handle(), text.c_str(), static_cast<int>(params.size()), nullptr,
                         values.data(), lengths.data(), formats.data(), static_cast<int>(format)),
            sql);
    });
}

PgResult PgSession::Describe(std::string_view sql) {
    auto use = Use();
    return Guarded(sql, [&] {
        std::string text(sql);
        Checked(PQprepare(Handle(), "", text.c_str(), 0, nullptr), sql);
        return Checked(PQdescribePrepared(Handle(), ""), sql);
    });
}

void PgSession::Run(std::string_view sql) {
    auto use = Use();
    std::string text(sql);
    Checked(PQexec(Handle(), text.c_str()), sql);
}

PgResult PgSession::Guarded(std::string_view sql, const std::function<PgResult()>& run) {
    if (m_ownScopes > 0 || !InTransaction() || IsTransactionControl(sql)) {
        return run();
    }
    Run(fmt::format("SAVEPOINT {}", kStatementSavepoint));
    try {
        PgResult result = run();
        Run(fmt::format("RELEASE SAVEPOINT {}", kStatementSavepoint));
        return result;
    } catch (...) {
        try {
            Run(fmt::format("ROLLBACK TO SAVEPOINT {0}; RELEASE SAVEPOINT {0}",
                            kStatementSavepoint));
        } catch (const DataAccessError&) {
            // The statement's own error is the one to report.
        }
        throw;
    }
}

std::int64_t PgSession::CopyIn(std::string_view sql,
                               const std::function<void(const CopySender&)>& feed) {
    auto use = Use();
    std::string text(sql);
    PgResult start(PQexec(Handle(), text.c_str()));
    if (PQresultStatus(start.get()) != PGRES_COPY_IN) {
        ThrowError(start.get(), sql);
    }
    CopySender send = [&](std::span<const std::uint8_t> bytes) {
        if (PQputCopyData(m_handle, reinterpret_cast<const char*>(bytes.data()),
                          static_cast<int>(bytes.size())) != 1) {
            throw DataAccessError(fmt::format("Cannot send a value to the server: {}",
                                              Trim(PQerrorMessage(m_handle))),
                                  0, std::string(sql));
        }
    };
    try {
        feed(send);
    } catch (...) {
        PQputCopyEnd(m_handle, "the value to store could not be read");
        DrainResults();
        throw;
    }
    if (PQputCopyEnd(m_handle, nullptr) != 1) {
        ThrowError(nullptr, sql);
    }
    PgResult end(PQgetResult(m_handle));
    DrainResults();
    if (PQresultStatus(end.get()) != PGRES_COMMAND_OK) {
        ThrowError(end.get(), sql);
    }
    const std::string_view rows = PQcmdTuples(end.get());
    return rows.empty() ? 0 : std::stoll(std::string(rows));
}

void PgSession::DrainResults() const {
    while (pg_result* result = PQgetResult(m_handle)) {
        PQclear(result);
    }
}

PgResult PgSession::Checked(pg_result* raw, std::string_view sql) const {
    PgResult result(raw);
    ExecStatusType status = result ? PQresultStatus(result.get()) : PGRES_FATAL_ERROR;
    if (status != PGRES_COMMAND_OK && status != PGRES_TUPLES_OK) {
        ThrowError(result.get(), sql);
    }
    return result;
}

// The server's message, with its detail when it gives one; without a result (a lost
// connection) the client library's message.
void PgSession::ThrowError(const pg_result* result, std::string_view sql) const {
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    if (!primary) {
        std::string message(Trim(PQerrorMessage(m_handle)));
        if (message.empty()) {
            message = fmt::format("The server answered {}",
                                  PQresStatus(result ? PQresultStatus(result) : PGRES_FATAL_ERROR));
        }
        throw DataAccessError(message, 0, std::string(sql));
    }
    std::string description = primary;
    if (const char* detail = PQresultErrorField(result, PG_DIAG_MESSAGE_DETAIL)) {
        description += fmt::format(" ({})", detail);
    }
    const char* state = PQresultErrorField(result, PG_DIAG_SQLSTATE);
    throw DataAccessError(description, state ? SqlStateCode(state) : 0, std::string(sql));
}

}  // namespace vesk::data_access::detail
