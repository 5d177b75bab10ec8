#pragma once

#include <optional>
#include <string>
#include <vector>

#include "new_rows.h"
#include "vesk/data_access/recordset.h"
#include "vesk/data_access/variant.h"

namespace vesk::database_utilities::detail {

// The keys of a stretch of source rows, numbered from 0, and what the destination said of
// them: which it holds, and which equal an earlier key of the stretch, both by its own
// comparison. A key is then added once: a row whose equal key went before it is already
// there once that row is stored.
class KeyWindow {
public:
    enum class Verdict {
        AlreadyThere,  // the destination holds the key, or a row with an equal key was stored
        Add,           // the destination lacks it
        StoreFirst,    // a row with an equal key is kept back: once stored, judge again
    };

    void Clear();
    // Adds the next row's key, as the destination would store it; nothing for a row that
    // could not be read.
    void Append(std::optional<data_access::Variant> key);
    std::size_t Size() const { return m_keys.size(); }
    bool Readable(std::size_t row) const { return m_keys.at(row).has_value(); }

    // Asks the destination, through `target` (a set over the table), about the keys of rows
    // [first, end), all readable or not, in `column`. Throws DataAccessError.
    void Ask(data_access::Recordset& target, const std::string& column, std::size_t first,
             std::size_t end);
    // What to do with row `row`, asked about.
    Verdict Judge(std::size_t row) const;
    // Row `row` goes to the destination: until its outcome, equal keys after it wait.
    void Adding(std::size_t row);
    // What became of a row that went to the destination.
    void Settle(const RowOutcome& outcome);

private:
    enum class State { None, Kept, Stored };

    std::vector<std::optional<data_access::Variant>> m_keys;
    std::vector<bool> m_held;
    std::vector<std::size_t> m_firstEqual;  // the row whose key stands for the row's
    std::vector<State> m_states;            // by the row that stands for a key
};

}  // namespace vesk::database_utilities::detail
