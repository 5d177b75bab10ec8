#include "postgres/pg_row_keys.h"

#include <fmt/format.h>

#include "vesk/data_access/data_access_error.h"

namespace vesk::data_access::detail {

std::string PgRowKeys::Joined(const Identity& identity) {
    std::string joined;
    for (const std::string& part : identity) {
        joined += part;
        joined += '\0';
    }
    return joined;
}

RowKey PgRowKeys::KeyOf(Identity identity) {
    auto [entry, added] =
        m_keys.try_emplace(Joined(identity), static_cast<RowKey>(m_identities.size()));
    if (added) {
        m_identities.push_back(std::move(identity));
    }
    return entry->second;
}

const PgRowKeys::Identity& PgRowKeys::IdentityOf(RowKey key) const {
    if (key < 0 || static_cast<std::size_t>(key) >= m_identities.size()) {
        throw DataAccessError(fmt::format("No row has the key {} in this record set.", key));
    }
    return m_identities[static_cast<std::size_t>(key)];
}

}  // namespace vesk::data_access::detail
