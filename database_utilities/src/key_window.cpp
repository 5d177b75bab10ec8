#include "key_window.h"

namespace vesk::database_utilities::detail {

void KeyWindow::Clear() {
    m_keys.clear();
    m_held.clear();
    m_firstEqual.clear();
    m_states.clear();
}

void KeyWindow::Append(std::optional<data_access::Variant> key) {
    m_keys.push_back(std::move(key));
    m_held.push_back(false);
    m_firstEqual.push_back(m_keys.size() - 1);
    m_states.push_back(State::None);
}

// Rows that cannot be read are asked about as an empty text, so that the numbering holds.
void KeyWindow::Ask(data_access::Recordset& target, const std::string& column, std::size_t first,
                    std::size_t end) {
    std::vector<data_access::Variant> keys;
    keys.reserve(end - first);
    for (std::size_t row = first; row < end; ++row) {
        keys.push_back(m_keys.at(row).value_or(data_access::Variant("")));
    }
    std::vector<data_access::ValueMatch> matches = target.MatchValues(column, keys);
    for (std::size_t row = first; row < end; ++row) {
        m_held[row] = matches[row - first].held;
        m_firstEqual[row] = first + matches[row - first].firstEqual;
        m_states[row] = State::None;
    }
}

KeyWindow::Verdict KeyWindow::Judge(std::size_t row) const {
    if (m_held.at(row)) {
        return Verdict::AlreadyThere;
    }
    switch (m_states[m_firstEqual[row]]) {
        case State::Stored:
            return Verdict::AlreadyThere;
        case State::Kept:
            return Verdict::StoreFirst;
        default:
            return Verdict::Add;
    }
}

void KeyWindow::Adding(std::size_t row) {
    m_states.at(m_firstEqual.at(row)) = State::Kept;
}

void KeyWindow::Settle(const RowOutcome& outcome) {
    m_states.at(m_firstEqual.at(outcome.row)) = outcome.refusal ? State::None : State::Stored;
}

}  // namespace vesk::database_utilities::detail
