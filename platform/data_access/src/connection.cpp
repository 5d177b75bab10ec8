#include "vesk/data_access/connection.h"

#include <atomic>

#include "backend.h"
#include "vesk/data_access/connection_text.h"
#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access {

namespace {

std::atomic<std::uint64_t> g_writes{0};

}  // namespace

Connection::Connection() = default;

Connection::~Connection() {
    Close();
}

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
    m_user = std::string(user);
    m_password = std::string(password);
}

void Connection::OpenAlike(const Connection& other) {
    Open(other.m_connectionString, other.m_user, other.m_password);
}

long Connection::Execute(std::string_view sql) {
    detail::Backend& backend = Backend();
    Trace(StatementKind::Command, sql);
    NoteWrite();
    return backend.Execute(sql);
}

long Connection::BeginTrans() {
    long level = Backend().BeginTransaction();
    m_pendingOutcomes.emplace_back();
    return level;
}

long Connection::BeginWriteTrans(std::string_view table) {
    long level = Backend().BeginWriteTransaction(table);
    m_pendingOutcomes.emplace_back();
    return level;
}

// A level whose commit fails is over all the same (the engines roll it back).
void Connection::CommitTrans() {
    detail::Backend& backend = Backend();
    NoteWrite();
    try {
        backend.CommitTransaction();
    } catch (...) {
        SettleLevel(false);
        throw;
    }
    SettleLevel(true);
}

void Connection::RollbackTrans() {
    detail::Backend& backend = Backend();
    SettleLevel(false);
    backend.RollbackTransaction();
}

void Connection::WhenTransactionEnds(std::function<void(bool committed)> outcome) {
    if (m_pendingOutcomes.empty()) {
        outcome(true);
        return;
    }
    m_pendingOutcomes.back().push_back(std::move(outcome));
}

void Connection::SettleLevel(bool committed) {
    if (m_pendingOutcomes.empty()) {
        return;
    }
    std::vector<std::function<void(bool)>> outcomes = std::move(m_pendingOutcomes.back());
    m_pendingOutcomes.pop_back();
    if (committed && !m_pendingOutcomes.empty()) {
        auto& enclosing = m_pendingOutcomes.back();
        enclosing.insert(enclosing.end(), std::make_move_iterator(outcomes.begin()),
                         std::make_move_iterator(outcomes.end()));
        return;
    }
    for (auto& outcome : outcomes) {
        outcome(committed);
    }
}

std::string Connection::BooleanLiteral(bool value) {
    return Backend().BooleanLiteral(value);
}

ObjectStateEnum Connection::State() const {
    return m_backend ? adStateOpen : adStateClosed;
}

std::optional<bool> Connection::SetOverwritesFreedSpace(bool overwrite) {
    return Backend().SetOverwritesFreedSpace(overwrite);
}

bool Connection::SerializesUse() const {
    return m_backend && m_backend->SerializesUse();
}

void Connection::Close() {
    m_backend.reset();
    while (!m_pendingOutcomes.empty()) {
        SettleLevel(false);
    }
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

}  // namespace vesk::data_access
