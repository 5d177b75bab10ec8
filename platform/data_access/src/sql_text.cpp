#include "vesk/data_access/sql_text.h"

namespace vesk::data {

std::string EscapeSqlText(std::string_view text) {
    std::string escaped;
    escaped.reserve(text.size());
    for (char c : text) {
        escaped += c;
        if (c == '\'') {
            escaped += '\'';
        }
    }
    return escaped;
}

}  // namespace vesk::data
