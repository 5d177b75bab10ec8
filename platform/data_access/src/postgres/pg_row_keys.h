#pragma once

#include <map>
#include <string>
#include <vector>

#include "backend.h"

namespace vesk::data::detail {

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
    std::map<Identity, RowKey> m_keys;
    std::vector<const Identity*> m_identities;  // by key; points into m_keys
};

}  // namespace vesk::data::detail
