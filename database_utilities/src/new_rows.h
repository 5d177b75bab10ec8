#pragma once

#include <optional>
#include <vector>

#include "vesk/data_access/connection.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/data_access/recordset.h"

namespace vesk::database_utilities::detail {

// What became of a row handed to NewRows: the caller's number for it, and why the database
// refused it (none when it was stored).
struct RowOutcome {
    std::size_t row = 0;
    std::optional<data_access::DataAccessError> refusal;
};

// The new rows a copy adds to one destination table. With one row a commit each row is stored,
// in a transaction of its own, as it is added. With more, rows are kept back in memory and
// stored together, a group in one transaction, when the group is full or Store is called; no
// transaction stays open between calls, and a refused row undoes no other.
class NewRows {
public:
    // `table` as it stands in statements; `rowsPerCommit` below 1 counts as 1.
    NewRows(const data_access::ConnectionPtr& destination, std::string table, long rowsPerCommit);
    NewRows(const NewRows&) = delete;
    NewRows& operator=(const NewRows&) = delete;

    // The record set the next row is to be added to (AddNew, values, then Add), opened on
    // first use. Throws DataAccessError when it cannot be opened.
    data_access::Recordset& Target();
    // Ends the row being added to Target, numbered `row` by the caller: stores it, or keeps it
    // back and stores the group once it is full. Returns the outcomes of the rows stored.
    std::vector<RowOutcome> Add(std::size_t row);
    // Stores the rows kept back. Returns their outcomes.
    std::vector<RowOutcome> Store();
    // Stores the rows kept back and closes Target, so that the keys of the rows it stored do
    // not pile up; the next Target opens it again. Returns as Store.
    std::vector<RowOutcome> Release();
    // Whether the row numbered `row` is kept back, not yet stored.
    bool Keeps(std::size_t row) const;

private:
    std::vector<RowOutcome> StoreGroup();

    const data_access::ConnectionPtr& m_destination;
    const std::string m_table;
    const long m_rowsPerCommit;
    data_access::Recordset m_target;
    std::vector<std::size_t> m_kept;  // the numbers of the rows kept back, in order
};

}  // namespace vesk::database_utilities::detail
