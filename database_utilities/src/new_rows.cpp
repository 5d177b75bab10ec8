#include "new_rows.h"

#include "vesk/events/ignoring_failures.h"

namespace vesk::dbutil::detail {

using platform::IgnoringFailure;

NewRows::NewRows(const data::ConnectionPtr& destination, std::string table, long rowsPerGroup)
    : m_destination(destination),
      m_table(std::move(table)),
      m_rowsPerGroup(rowsPerGroup),
      m_inBackground(destination->SerializesUse()) {
    Begin();
}

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
        return Rotate();
    }
    return holdsBinaryValue ? Store() : std::string();
}

std::string NewRows::Store() {
    std::string failure = WaitForWorker();
    std::string refused = StoreKept(m_sets[m_filling]);
    return failure.empty() ? refused : failure;
}

std::string NewRows::Finish() {
    std::string failure = Store();
    End();
    return failure;
}

// Stores the rows `rows` keeps back; returns why a row was refused, or nothing.
std::string NewRows::StoreKept(data::Recordset& rows) {
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

// Ends a full group: the one before it is committed, and this one goes on its way in a new
// transaction, on the worker where the destination allows.
std::string NewRows::Rotate() {
    std::string failure = WaitForWorker();
    End();
    Begin();
    data::Recordset& full = m_sets[m_filling];
    if (m_inBackground) {
        m_worker = std::async(std::launch::async, [&full] { return StoreKept(full); });
        m_filling = 1 - m_filling;
    } else {
        std::string refused = StoreKept(full);
        failure = failure.empty() ? refused : failure;
    }
    return failure;
}

std::string NewRows::WaitForWorker() {
    return m_worker.valid() ? m_worker.get() : std::string();
}

void NewRows::Begin() {
    m_rows = 0;
    m_open = IgnoringFailure([&] { m_destination->BeginTrans(); });
}

void NewRows::End() {
    if (m_open && !IgnoringFailure([&] { m_destination->CommitTrans(); })) {
        IgnoringFailure([&] { m_destination->RollbackTrans(); });
    }
    m_open = false;
}

}  // namespace vesk::dbutil::detail
