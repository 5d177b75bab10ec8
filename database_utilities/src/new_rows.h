#pragma once

#include <array>
#include <future>
#include <string>

#include "vesk/data_access/connection.h"
#include "vesk/data_access/recordset.h"

namespace vesk::dbutil::detail {

// The new rows a copy adds to one destination table. Record sets in batch mode keep them
// back, and they go to the database a group at a time, each group in a transaction of its
// own committed as soon as it is stored, so that a server takes a group in a few round trips;
// a refused row undoes no other. Rows stored before their group is full (Store) share one
// transaction, committed when the group ends.
//
// Where the destination lets two threads use it at once (Connection::SerializesUse), a group
// is stored on a worker thread while the next group fills a second record set: reading the
// source and storing overlap. The worker only stores; every other use of the destination
// waits for it first, so the copy's own statements never run beside it.
class NewRows {
public:
    // `table` as it stands in statements.
    NewRows(const data::ConnectionPtr& destination, std::string table, long rowsPerGroup);
    // Waits for a group on its way and commits what was stored. Never throws.
    ~NewRows();
    NewRows(const NewRows&) = delete;
    NewRows& operator=(const NewRows&) = delete;

    // The record set the next row is to be added to, opened on first use. Throws
    // DataAccessError when it cannot be opened.
    data::Recordset& Target();
    // Counts a row added to Target. A full group goes on its way; a row holding a binary
    // value is stored at once (a group of such rows would hold their values, perhaps in
    // temporary files, until it went). Returns why a row stored meanwhile was refused (the
    // first such reason), or nothing.
    std::string RowAdded(bool holdsBinaryValue);
    // Stores every row added so far, so that the database can be asked about them. Returns
    // as RowAdded.
    std::string Store();
    // Stores the rest and commits. Returns as RowAdded.
    std::string Finish();

private:
    std::string EndGroup();
    std::string StoreGroup(data::Recordset& rows);
    std::string WaitForWorker();
    void Begin();
    void End();

    const data::ConnectionPtr& m_destination;
    const std::string m_table;
    const long m_rowsPerGroup;
    const bool m_inBackground;
    std::array<data::Recordset, 2> m_sets;
    std::size_t m_filling = 0;          // the set rows are added to; the other may be on its way
    std::future<std::string> m_worker;  // the group on its way, and why a row of it was refused
    long m_rows = 0;
    bool m_open = false;  // the transaction of the rows stored before their group was full
};

}  // namespace vesk::dbutil::detail
