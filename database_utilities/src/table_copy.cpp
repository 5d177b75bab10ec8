#include "table_copy.h"

#include <algorithm>

#include <fmt/format.h>

#include "sql_names.h"
#include "vesk/data_access/data_access_error.h"
#include "vesk/database_utilities/database_utilities.h"
#include "vesk/errors/ignoring_failures.h"
#include "vesk/ui/current_ui.h"

namespace vesk::database_utilities::detail {

namespace {

using data_access::Variant;

// Keys asked about together: one statement, and on an unindexed column one pass over the
// destination table, serves this many rows; with groups, four groups' worth, up to the most.
constexpr long kWindowRows = 500;
constexpr long kMaxWindowRows = 20000;
constexpr long kGroupsAWindow = 4;
// The values of the rows of a stretch, held until the rows are copied, stay within this.
constexpr std::int64_t kWindowBytes = 16 * 1024 * 1024;

// Whether `connection` still answers: a step that failed on a database that does not is no
// refused row but the end of the copy.
bool Answers(data_access::Connection& connection) {
    return IgnoringFailure([&] { connection.Execute("SELECT 1"); });
}

}  // namespace

TableCopy::TableCopy(DatabaseUtilities& utilities, data_access::Recordset& source,
                     const data_access::ConnectionPtr& destination, const std::string& table,
                     long rowsPerCommit, TableCopyReport& report)
    : m_utilities(utilities),
      m_source(source),
      m_destination(destination),
      m_rowsPerCommit(std::max(rowsPerCommit, 1L)),
      m_report(report),
      m_rows(destination, SqlName(table), m_rowsPerCommit) {}

std::optional<data_access::DataAccessError> TableCopy::Run() {
    if (!Prepare()) {
        if (!m_stop) {
            WalkSkipped();
        }
        return m_stop;
    }
    while (!m_stop && CollectWindow()) {
        CopyWindow();
        Settle(m_rows.Release());
    }
    return m_stop;
}

// The key column on both sides, and the destination's set of new rows. False when the table
// is skipped (the destination has no such table, or no such key column) or lost.
bool TableCopy::Prepare() {
    if (!IgnoringFailure([&] {
            data_access::Field key = m_source.Fields().Item(0L);
            m_column = key.Name();
            m_keyGroup = GroupOf(key.Type());
            m_wholeKeys = IsWholeNumberType(key.Type());
        })) {
        return false;
    }
    std::string reason;
    try {
        data_access::Recordset& target = m_rows.Target();
        PlanColumns(target);
        reason = fmt::format("the destination table has no column {}", m_column);
        data_access::Field key = target.Fields().Item(m_column);
        m_wholeKeys = m_wholeKeys && IsWholeNumberType(key.Type());
        return true;
    } catch (const std::exception& error) {
        if (!Lost(data_access::AsDataAccessError(error), *m_destination, "destination")) {
            m_report.skipped = true;
            m_report.skipReason =
                reason.empty() ? fmt::format("the destination cannot open it: {}", error.what())
                               : reason;
        }
        return false;
    }
}

// A skipped table's rows are still visited, one event pump each, and counted as read.
void TableCopy::WalkSkipped() {
    while (!m_atEnd) {
        ++m_report.rowsRead;
        Advance();
    }
}

std::size_t TableCopy::WindowRows() const {
    return static_cast<std::size_t>(
        std::clamp(m_rowsPerCommit * kGroupsAWindow, kWindowRows, kMaxWindowRows));
}

// Reads the keys of the next stretch, its rows kept for their visits. False at the end of the
// rows, or when the source no longer answers.
bool TableCopy::CollectWindow() {
    m_window.Clear();
    std::vector<std::optional<Variant>> keys;
    try {
        m_atEnd = m_atEnd || m_source.IsEOF();
        if (m_atEnd) {
            return false;
        }
        keys = m_source.PeekColumn(0, static_cast<long>(WindowRows()), kWindowBytes);
    } catch (const std::exception& error) {
        Lost(data_access::AsDataAccessError(error), *m_source.ActiveConnection(), "source");
        return false;
    }
    for (const std::optional<Variant>& key : keys) {
        m_window.Append(key ? std::optional<Variant>(StoredKey(*key)) : std::nullopt);
    }
    return m_window.Size() > 0;
}

// A key as the destination would store it.
Variant TableCopy::StoredKey(const Variant& value) const {
    if (m_keyGroup == FieldGroup::Binary) {
        return value;
    }
    std::optional<Variant> stored;
    IgnoringFailure([&] { stored = DestinationValue(m_keyGroup, value, m_wholeKeys); });
    return stored && !stored->IsEmpty() ? *stored : Variant(value.ToText());
}

void TableCopy::CopyWindow() {
    for (std::size_t next = 0; next < m_window.Size() && !m_stop && !m_atEnd;) {
        next = CopyRange(next, m_window.Size());
    }
}

// Asks about rows [first, end) and copies them. Returns the row reached: `end`, or the row
// after a pump in which the host wrote, whose rest is to be asked about anew. Keys the
// destination cannot compare are found by halving the stretch; each is refused alone.
std::size_t TableCopy::CopyRange(std::size_t first, std::size_t end) {
    std::optional<data_access::DataAccessError> cannotCompare;
    try {
        m_window.Ask(m_rows.Target(), m_column, first, end);
    } catch (const std::exception& error) {
        cannotCompare = data_access::AsDataAccessError(error);
    }
    if (Lost(cannotCompare, *m_destination, "destination")) {
        return end;
    }
    if (cannotCompare && end - first > 1) {
        const std::size_t middle = first + (end - first) / 2;
        const std::size_t reached = CopyRange(first, middle);
        return reached < middle || m_stop ? reached : CopyRange(middle, end);
    }
    for (std::size_t row = first; row < end; ++row) {
        VisitRow(row, cannotCompare);
        if (m_stop) {
            return end;
        }
        if (Advance()) {
            Settle(m_rows.Store());  // what is kept back must be there for the new question
            return row + 1;
        }
        if (m_atEnd) {
            return end;
        }
    }
    return end;
}

// One row, the source standing on it: read, then added unless the destination holds its key.
void TableCopy::VisitRow(std::size_t row,
                         const std::optional<data_access::DataAccessError>& cannotCompare) {
    if (!m_window.Readable(row)) {
        return;
    }
    try {
        m_source.Fields().Item(0L).Value();  // reads the row, which may have gone meanwhile
    } catch (const std::exception& error) {
        Lost(data_access::AsDataAccessError(error), *m_source.ActiveConnection(), "source");
        return;
    }
    ++m_report.rowsRead;
    if (cannotCompare) {
        Refuse(*cannotCompare);
        return;
    }
    KeyWindow::Verdict verdict = m_window.Judge(row);
    if (verdict == KeyWindow::Verdict::StoreFirst) {
        Settle(m_rows.Store());
        verdict = m_window.Judge(row);
    }
    if (verdict == KeyWindow::Verdict::AlreadyThere) {
        ++m_report.rowsAlreadyThere;
        return;
    }
    AddRow(row);
}

// Adds a copy of the source's current row; a row holding a large value that could not be
// copied whole is not added at all.
void TableCopy::AddRow(std::size_t row) {
    data_access::Recordset* added = nullptr;
    try {
        added = &m_rows.Target();
        added->AddNew();
    } catch (const std::exception& error) {
        const data_access::DataAccessError failure = data_access::AsDataAccessError(error);
        Refuse(failure);
        Lost(failure, *m_destination, "destination");
        return;
    }
    const std::optional<data_access::DataAccessError> incomplete = CopyFields(*added);
    if (incomplete) {
        IgnoringFailure([&] { added->CancelUpdate(); });
        Refuse(*incomplete);
        Lost(incomplete, *m_source.ActiveConnection(), "source");
        return;
    }
    m_window.Adding(row);
    Settle(m_rows.Add(row));
}

// Each field by its plan; one that fails is left unassigned and the others still go. Returns
// why a large value could not be copied whole, or nothing.
std::optional<data_access::DataAccessError> TableCopy::CopyFields(data_access::Recordset& added) {
    data_access::Fields to = added.Fields();
    std::optional<data_access::DataAccessError> incomplete;
    for (long column_idx = 0; column_idx < static_cast<long>(m_plan.size()); ++column_idx) {
        const ColumnPlan& plan = m_plan[static_cast<std::size_t>(column_idx)];
        if (plan.target) {
            IgnoringFailure([&] { CopyField(column_idx, plan, to, incomplete); });
        }
    }
    return incomplete;
}

void TableCopy::CopyField(long column, const ColumnPlan& plan, data_access::Fields& to,
                          std::optional<data_access::DataAccessError>& incomplete) {
    data_access::Field field = m_source.Fields().Item(column);
    data_access::Field target = to.Item(*plan.target);
    if (plan.group != FieldGroup::Binary) {
        if (std::optional<Variant> value =
                DestinationValue(plan.group, field.Value(), plan.wholeNumbers)) {
            target.SetValue(*value);
        }
    } else if (field.ActualSize() > 0 || !field.Value().IsNull()) {
        m_utilities.CopyLargeField(field, target, m_source);
        if (target.ActualSize() != field.ActualSize()) {
            incomplete = data_access::DataAccessError(
                fmt::format("The value of {} could not be copied whole", field.Name()));
        }
    }
}

// Where each source column goes: a column of the same name, a binary value to the column at
// the same position; a column the destination lacks is left out, as its assignment would fail.
void TableCopy::PlanColumns(data_access::Recordset& target) {
    data_access::Fields from = m_source.Fields();
    data_access::Fields to = target.Fields();
    m_plan.assign(static_cast<std::size_t>(from.Count()), ColumnPlan{});
    for (long column_idx = 0; column_idx < from.Count(); ++column_idx) {
        ColumnPlan& plan = m_plan[static_cast<std::size_t>(column_idx)];
        data_access::Field field = from.Item(column_idx);
        plan.group = GroupOf(field.Type());
        IgnoringFailure([&] {
            const long index =
                plan.group == FieldGroup::Binary ? column_idx : to.IndexOf(field.Name());
            plan.wholeNumbers =
                IsWholeNumberType(field.Type()) && IsWholeNumberType(to.Item(index).Type());
            plan.target = index;
        });
    }
}

// Moves to the next row, then runs the event pump once. Returns whether anything in the
// process wrote to a database during the pump.
bool TableCopy::Advance() {
    m_atEnd = !IgnoringFailure([&] {
        m_source.MoveNext();
        m_atEnd = m_source.IsEOF();
    }) || m_atEnd;
    const std::uint64_t writes = data_access::Connection::WritesInProcess();
    ui::Ui().DoEvents();
    return data_access::Connection::WritesInProcess() != writes;
}

void TableCopy::Settle(const std::vector<RowOutcome>& outcomes) {
    std::optional<data_access::DataAccessError> refusal;
    for (const RowOutcome& outcome : outcomes) {
        m_window.Settle(outcome);
        if (outcome.refusal) {
            Refuse(*outcome.refusal);
            refusal = outcome.refusal;
        } else {
            ++m_report.rowsAdded;
        }
    }
    Lost(refusal, *m_destination, "destination");
}

void TableCopy::Refuse(const Error& reason) {
    if (m_report.rowsRefused++ == 0) {
        m_report.firstRefusal = reason.Description();
    }
}

// Whether a step that failed for `failure` (none when empty) failed because the database on
// `side` no longer answers; the copy then stops with that reason.
bool TableCopy::Lost(const std::optional<data_access::DataAccessError>& failure,
                     data_access::Connection& connection, const char* side) {
    if (!failure || m_stop || Answers(connection)) {
        return m_stop.has_value();
    }
    m_stop = data_access::DataAccessError(
        fmt::format("The copy stopped in the table {}: the {} database no longer answers: {}",
                    m_report.table, side, failure->Description()),
        failure->EngineCode(), failure->Statement());
    return true;
}

}  // namespace vesk::database_utilities::detail
