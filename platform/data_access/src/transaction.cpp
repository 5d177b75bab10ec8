#include "vesk/data_access/transaction.h"

#include <exception>

#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access {

namespace {

Connection& Require(const ConnectionPtr& connection) {
    if (!connection) {
        throw DataAccessError("There is no connection to begin a transaction on.");
    }
    return *connection;
}

}  // namespace

Transaction::Transaction(ConnectionPtr connection) : m_connection(std::move(connection)) {
    Require(m_connection).BeginTrans();
    m_open = true;
}

Transaction::Transaction(ConnectionPtr connection, std::string_view table)
    : m_connection(std::move(connection)) {
    Require(m_connection).BeginWriteTrans(table);
    m_open = true;
}

Transaction::~Transaction() {
    if (!m_open) {
        return;
    }
    try {
        m_connection->RollbackTrans();
    } catch (const std::exception&) {
        // Nothing more can be done here: the level is abandoned; a closed connection has
        // ended it already.
    }
}

void Transaction::Commit() {
    if (!m_open) {
        throw DataAccessError("The transaction has ended already.");
    }
    m_open = false;
    m_connection->CommitTrans();
}

void Transaction::Rollback() {
    if (!m_open) {
        throw DataAccessError("The transaction has ended already.");
    }
    m_open = false;
    m_connection->RollbackTrans();
}

}  // namespace vesk::data_access
