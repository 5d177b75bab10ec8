#include "vesk/data_access/connection.h"

#include <atomic>

#include "backend.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data {

namespace {

std::atomic<std::uint64_t> g_writes{0};

}  // namespace

Connection::Connection() = default;

Connection::~Connection() = default;

void Connection::SetConnectionString(std::string_view text) {
    if (m_backend) {
        throw DataAccessError("Operation is not allowed when the object is open.");
    }
    m_connectionString = std::string(text);
}

void Connection::Open(std::string_view connectionText, std::string_view user,
                      std::string_view password) {
    if (m_backend) {
        throw DataAccessError("Operation is not allowed when the object is open.");
    }
    std::string text(connectionText.empty() ? std::string_view(m_connectionString)
                                            : connectionText);
    ConnectionSettings settings = ParseConnectionText(text);
    if (!user.empty()) {
        settings.user = std::string(user);
    }
    if (!password.empty()) {
        settings.password = std::string(password);
    }
    m_backend = detail::OpenBackend(settings);
    m_connectionString = text;
}

long Connection::Execute(std::string_view sql) {
    detail::Backend& backend = Backend();
    Trace(StatementKind::Command, sql);
    NoteWrite();
    return backend.Execute(sql);
}

long Connection::BeginTrans() {
    return Backend().BeginTransaction();
}

void Connection::CommitTrans() {
    NoteWrite();
    Backend().CommitTransaction();
}

void Connection::RollbackTrans() {
    Backend().RollbackTransaction();
}

ObjectStateEnum Connection::State() const {
    return m_backend ? adStateOpen : adStateClosed;
}

bool Connection::SerializesUse() const {
    return m_backend && m_backend->SerializesUse();
}

void Connection::Close() {
    m_backend.reset();
}

void Connection::SetStatementTrace(StatementTrace trace) {
    m_trace = std::move(trace);
}

detail::Backend& Connection::Backend() {
    if (!m_backend) {
        throw DataAccessError(
            "The connection cannot be used to perform this operation. It is either closed or "
            "invalid in this context.");
    }
    return *m_backend;
}

std::uint64_t Connection::WritesInProcess() {
    return g_writes.load();
}

void Connection::NoteWrite() {
    ++g_writes;
}

void Connection::Trace(StatementKind kind, std::string_view sql) const {
    if (m_trace) {
        m_trace(kind, sql);
    }
}

}  // namespace vesk::data
