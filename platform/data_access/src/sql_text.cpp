#include "vesk/data_access/sql_text.h"

namespace vesk::data_access {

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

std::string QuoteIdentifier(std::string_view name) {
    std::string result = "\"";
    for (char c : name) {
        result += c;
        if (c == '"') {
            result += '"';
        }
    }
    return result + "\"";
}

}  // namespace vesk::data_access
