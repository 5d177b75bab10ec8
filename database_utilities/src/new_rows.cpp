#include "new_rows.h"

#include "vesk/events/ignoring_failures.h"

namespace vesk::dbutil::detail {

using platform::IgnoringFailure;

namespace {

// Stores the rows `rows` keeps back; returns why a row was refused, or nothing.
std::string StoreKept(data::Recordset& rows) {
    std::string failure;
    if (rows.State() == data::adStateOpen && rows.PendingBatchRows() > 0) {
        try {
            rows.UpdateBatch();
        } catch (const std::exception& error) {
            failure = error.what();
        }
    }
    return failure;
}

// Commits the open transaction, or rolls it back when the commit is refused.
void CommitOrRollBack(data::Connection& connection) {
    if (!IgnoringFailure([&] { connection.CommitTrans(); })) {
        IgnoringFailure([&] { connection.RollbackTrans(); });
    }
}

}  // namespace

NewRows::NewRows(const data::ConnectionPtr& destination, std::string table, long rowsPerGroup)
    : m_destination(destination),
      m_table(std::move(table)),
      m_rowsPerGroup(rowsPerGroup),
      m_inBackground(destination->SerializesUse()) {}

NewRows::~NewRows() {
    WaitForWorker();
    End();
}

data::Recordset& NewRows::Target() {
    data::Recordset& rows = m_sets[m_filling];
    if (rows.State() != data::adStateOpen) {
        rows.Open("SELECT * FROM " + m_table + " WHERE 1=0", m_destination, data::adOpenKeyset,
                  data::adLockBatchOptimistic);
    }
    return rows;
}

std::string NewRows::RowAdded(bool holdsBinaryValue) {
    if (++m_rows >= m_rowsPerGroup) {
        return EndGroup();
    }
    return holdsBinaryValue ? Store() : std::string();
}

std::string NewRows::Store() {
    std::string failure = WaitForWorker();
    Begin();
    std::string refused = StoreKept(m_sets[m_filling]);
    return failure.empty() ? refused : failure;
}

std::string NewRows::Finish() {
    std::string failure = Store();
    End();
    return failure;
}

// A full group goes on its way in a transaction of its own, committed as soon as it is
// stored: on the worker where the destination allows, the next group filling the other set.
std::string NewRows::EndGroup() {
    m_rows = 0;
    std::string failure = WaitForWorker();
    End();
    data::Recordset& full = m_sets[m_filling];
    if (!m_inBackground) {
        std::string refused = StoreGroup(full);
        return failure.empty() ? refused : failure;
    }
    m_worker = std::async(std::launch::async, [this, &full] { return StoreGroup(full); });
    m_filling = 1 - m_filling;
    return failure;
}

std::string NewRows::StoreGroup(data::Recordset& rows) {
    const bool open = IgnoringFailure([&] { m_destination->BeginTrans(); });
    std::string failure = StoreKept(rows);
    if (open) {
        CommitOrRollBack(*m_destination);
    }
    return failure;
}

std::string NewRows::WaitForWorker() {
    return m_worker.valid() ? m_worker.get() : std::string();
}

void NewRows::Begin() {
    if (!m_open) {
        m_open = IgnoringFailure([&] { m_destination->BeginTrans(); });
    }
}

void NewRows::End() {
    if (m_open) {
        CommitOrRollBack(*m_destination);
    }
    m_open = false;
}

}  // namespace vesk::dbutil::detail
