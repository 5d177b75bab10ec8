#pragma once

#include <optional>
#include <string>
#include <vector>

#include "field_values.h"
#include "key_window.h"
#include "new_rows.h"
#include "vesk/data_access/recordset.h"
#include "vesk/database_utilities/copy_report.h"

namespace vesk::database_utilities {
class DatabaseUtilities;
}

namespace vesk::database_utilities::detail {

// The copy of one source table's rows into the destination table of the same name. The rows
// go in stretches: the destination is asked once about a stretch's keys, then its rows are
// added one by one, each followed by one event pump. When anything in the process wrote to a
// database during a pump (the host), the rest of the stretch is asked about anew, so that a
// key the host added is not added again.
class TableCopy {
public:
    // `source` stands on the first of its rows; `table` is the destination's name, as the
    // catalog gives it. The counts go to `report`.
    TableCopy(DatabaseUtilities& utilities, data_access::Recordset& source,
              const data_access::ConnectionPtr& destination, const std::string& table,
              long rowsPerCommit, TableCopyReport& report);
    TableCopy(const TableCopy&) = delete;
    TableCopy& operator=(const TableCopy&) = delete;

    // Copies the rows. Returns why the whole copy must stop (a database that no longer
    // answers), or nothing when it may go on with the next table.
    std::optional<data_access::DataAccessError> Run();

private:
    bool Prepare();
    void WalkSkipped();
    std::size_t WindowRows() const;
    bool CollectWindow();
    data_access::Variant StoredKey(const data_access::Variant& value) const;
    void CopyWindow();
    std::size_t CopyRange(std::size_t first, std::size_t end);
    void VisitRow(std::size_t row,
                  const std::optional<data_access::DataAccessError>& cannotCompare);
    void AddRow(std::size_t row);
    std::optional<data_access::DataAccessError> CopyFields(data_access::Recordset& added);
    bool Advance();
    void Settle(const std::vector<RowOutcome>& outcomes);
    void Refuse(const Error& reason);
    bool Lost(const std::optional<data_access::DataAccessError>& failure,
              data_access::Connection& connection, const char* side);

    // How one source column is copied: by its group, into the destination column at
    // `target` (by name; by position for binary values), none when the destination lacks it.
    struct ColumnPlan {
        FieldGroup group = FieldGroup::NotCopied;
        std::optional<long> target;
        bool wholeNumbers = false;  // both columns hold whole numbers
    };
    void PlanColumns(data_access::Recordset& target);
    void CopyField(long column, const ColumnPlan& plan, data_access::Fields& to,
                   std::optional<data_access::DataAccessError>& incomplete);

    DatabaseUtilities& m_utilities;
    data_access::Recordset& m_source;
    const data_access::ConnectionPtr& m_destination;
    const long m_rowsPerCommit;
    TableCopyReport& m_report;
    NewRows m_rows;
    KeyWindow m_window;
    std::vector<ColumnPlan> m_plan;  // by source column
    std::string m_column;            // the key column: the source's first
    FieldGroup m_keyGroup = FieldGroup::NotCopied;
    bool m_wholeKeys = false;  // both key columns hold whole numbers
    bool m_atEnd = false;
    std::optional<data_access::DataAccessError> m_stop;
};

}  // namespace vesk::database_utilities::detail
