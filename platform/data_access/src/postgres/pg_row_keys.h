#pragma once

#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

#include "backend.h"

namespace vesk::data_access::detail {

// The row keys of one cursor. The server tells rows apart by their identity (the values of a
// key, or a row version) as texts; each identity gets one key for the life of the cursor, so
// a row keeps its key across Requery and a bookmark stays good.
class PgRowKeys {
public:
    using Identity = std::vector<std::string>;

    // The key of `identity`, new when the identity is.
    RowKey KeyOf(Identity identity);
    // The identity a key stands for. Throws DataAccessError for a key this set never gave.
    const Identity& IdentityOf(RowKey key) const;

private:
    // The identity's texts joined by NUL, which no server text holds.
    static std::string Joined(const Identity& identity);

    std::unordered_map<std::string, RowKey> m_keys;
    std::deque<Identity> m_identities;  // by key
};

}  // namespace vesk::data_access::detail
