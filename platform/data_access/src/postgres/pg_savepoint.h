#pragma once

#include "postgres/pg_session.h"

namespace vesk::data_access::detail {

// A scope of this layer's own around a multi-step write: a transaction when none is open,
// else a savepoint inside the open one. Rolls back in its destructor unless released, so
// the write is all or nothing. Destructors never throw.
class PgSavepoint {
public:
    explicit PgSavepoint(PgSession& session);
    ~PgSavepoint();
    PgSavepoint(const PgSavepoint&) = delete;
    PgSavepoint& operator=(const PgSavepoint&) = delete;

    // Keeps the changes. Throws DataAccessError when the server refuses them.
    void Release();

private:
    void Leave();

    PgSession& m_session;
    bool m_outermost;
    bool m_open = true;
};

}  // namespace vesk::data_access::detail
