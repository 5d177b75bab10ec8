#include "postgres/pg_savepoint.h"

#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access::detail {

PgSavepoint::PgSavepoint(PgSession& session)
    : m_session(session), m_outermost(!session.InTransaction()) {
    m_session.Run(m_outermost ? "BEGIN" : "SAVEPOINT vesk_write");
    m_session.EnterOwnScope();
}

PgSavepoint::~PgSavepoint() {
    if (!m_open) {
        return;
    }
    Leave();
    try {
        m_session.Run(m_outermost
                          ? "ROLLBACK"
                          : "ROLLBACK TO SAVEPOINT vesk_write; RELEASE SAVEPOINT vesk_write");
    } catch (const DataAccessError&) {
        // A lost session has dropped the changes already.
    }
}

void PgSavepoint::Release() {
    if (!m_open) {
        return;
    }
    Leave();
    m_session.Run(m_outermost ? "COMMIT" : "RELEASE SAVEPOINT vesk_write");
}

// A failed COMMIT ends the transaction too, so the scope is left before its last statement.
void PgSavepoint::Leave() {
    m_open = false;
    m_session.LeaveOwnScope();
}

}  // namespace vesk::data_access::detail
