#include "new_rows.h"

#include <algorithm>
#include <optional>

#include "vesk/data_access/transaction.h"

#include "vesk/errors/ignoring_failures.h"

namespace vesk::database_utilities::detail {

NewRows::NewRows(const data_access::ConnectionPtr& destination, std::string table,
                 long rowsPerCommit)
    : m_destination(destination),
      m_table(std::move(table)),
      m_rowsPerCommit(std::max(rowsPerCommit, 1L)) {}

data_access::Recordset& NewRows::Target() {
    if (m_target.State() != data_access::adStateOpen) {
        m_target.Open("SELECT * FROM " + m_table + " WHERE 1=0", m_destination,
                      data_access::adOpenKeyset,
                      m_rowsPerCommit > 1 ? data_access::adLockBatchOptimistic
                                          : data_access::adLockOptimistic);
        m_target.SetBatchRowsJoin(false);  // the copy never visits the rows it added
    }
    return m_target;
}

std::vector<RowOutcome> NewRows::Add(std::size_t row) {
    if (m_rowsPerCommit > 1) {
        m_target.Update();  // kept back: nothing reaches the database yet
        m_kept.push_back(row);
        return static_cast<long>(m_kept.size()) >= m_rowsPerCommit ? StoreGroup()
                                                                   : std::vector<RowOutcome>();
    }
    try {
        m_target.Update();
        return {RowOutcome{row, {}}};
    } catch (const std::exception& error) {
        IgnoringFailure([&] { m_target.CancelUpdate(); });
        return {RowOutcome{row, data_access::AsDataAccessError(error)}};
    }
}

std::vector<RowOutcome> NewRows::Store() {
    return m_kept.empty() ? std::vector<RowOutcome>() : StoreGroup();
}

std::vector<RowOutcome> NewRows::Release() {
    std::vector<RowOutcome> outcomes = Store();
    m_target.Close();
    return outcomes;
}

bool NewRows::Keeps(std::size_t row) const {
    return std::find(m_kept.begin(), m_kept.end(), row) != m_kept.end();
}

// One transaction for the group, begun and ended here. When the commit is refused nothing of
// the group stays, and every row of it carries the reason.
std::vector<RowOutcome> NewRows::StoreGroup() {
    std::vector<RowOutcome> outcomes;
    for (std::size_t row : m_kept) {
        outcomes.push_back(RowOutcome{row, {}});
    }
    m_kept.clear();
    std::optional<data_access::Transaction> group;
    IgnoringFailure([&] { group.emplace(m_destination); });
    std::optional<data_access::DataAccessError> failure;
    try {
        m_target.UpdateBatch();
    } catch (const std::exception& error) {
        failure = data_access::AsDataAccessError(error);
    }
    for (const auto& [position, error] : m_target.BatchRefusals()) {
        outcomes.at(position).refusal = error;
    }
    if (failure && m_target.BatchRefusals().empty()) {
        for (RowOutcome& outcome : outcomes) {
            outcome.refusal = failure;  // the group as a whole failed
        }
    }
    if (!group) {
        return outcomes;
    }
    try {
        group->Commit();  // a refused commit has undone the group
    } catch (const std::exception& error) {
        for (RowOutcome& outcome : outcomes) {
            outcome.refusal =
                outcome.refusal ? outcome.refusal : data_access::AsDataAccessError(error);
        }
    }
    return outcomes;
}

}  // namespace vesk::database_utilities::detail
