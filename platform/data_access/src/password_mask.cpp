#include "vesk/data_access/password_mask.h"

#include <algorithm>
#include <cctype>
#include <utility>
#include <vector>

#include "text_util.h"

namespace vesk::data_access {

namespace {

constexpr std::string_view kMask = "****";

using Span = std::pair<std::size_t, std::size_t>;  // [begin, end) of a password

bool IsWordChar(char c) {
    return std::isalnum(static_cast<unsigned char>(c)) || c == '_';
}

// The password of each URI: between the ':' and the last '@' of its user part.
void FindUriPasswords(std::string_view text, std::vector<Span>& spans) {
    for (std::size_t scheme = text.find("://"); scheme != std::string_view::npos;
         scheme = text.find("://", scheme + 3)) {
        std::size_t begin = scheme + 3;
        std::size_t end = std::min(text.find_first_of("/?# \t\n\"'", begin), text.size());
        std::string_view authority = text.substr(begin, end - begin);
        std::size_t at = authority.rfind('@');
        std::size_t colon = authority.substr(0, at == std::string_view::npos ? 0 : at).find(':');
        if (at != std::string_view::npos && colon != std::string_view::npos && colon + 1 < at) {
            spans.emplace_back(begin + colon + 1, begin + at);
        }
    }
}

// Where an unquoted value ends. In a URI's query (after '?' or '&') at '&', '#', a blank or
// a quote; in a connection text at ';', a line end, or a quote that closes a quotation
// around the text (one followed by the end, a blank or punctuation).
std::size_t UnquotedValueEnd(std::string_view text, std::size_t pos, bool inQuery) {
    for (; pos < text.size(); ++pos) {
        char c = text[pos];
        if (inQuery ? (c == '&' || c == '#' || c == '"' || c == '\'' ||
                       std::isspace(static_cast<unsigned char>(c)))
                    : (c == ';' || c == '\n' || c == '\r')) {
            return pos;
        }
        bool closesQuotation =
            pos + 1 == text.size() ||
            std::string_view(" \t\n;,.:)").find(text[pos + 1]) != std::string_view::npos;
        if (!inQuery && c == '"' && closesQuotation) {
            return pos;
        }
    }
    return text.size();
}

// The end of the double-quoted value at `pos`, a doubled quote staying inside.
std::size_t QuotedValueEnd(std::string_view text, std::size_t pos) {
    for (std::size_t index = pos + 1; index < text.size(); ++index) {
        if (text[index] == '"') {
            if (index + 1 < text.size() && text[index + 1] == '"') {
                ++index;
                continue;
            }
            return index + 1;
        }
    }
    return text.size();
}

// The value of each "password=" and "pwd=" key (a whole word, any letter case, blanks
// allowed around '=').
void FindKeyPasswords(std::string_view text, std::vector<Span>& spans) {
    std::string lower = detail::ToLowerAscii(text);
    for (std::string_view key : {"password", "pwd"}) {
        for (std::size_t found = lower.find(key); found != std::string::npos;
             found = lower.find(key, found + 1)) {
            std::size_t pos = found + key.size();
            if ((found > 0 && IsWordChar(text[found - 1])) ||
                (pos < text.size() && IsWordChar(text[pos]))) {
                continue;
            }
            while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) {
                ++pos;
            }
            if (pos >= text.size() || text[pos] != '=') {
                continue;
            }
            pos = std::min(text.find_first_not_of(" \t", pos + 1), text.size());
            bool inQuery = found > 0 && (text[found - 1] == '?' || text[found - 1] == '&');
            std::size_t end = pos < text.size() && text[pos] == '"'
                                  ? QuotedValueEnd(text, pos)
                                  : UnquotedValueEnd(text, pos, inQuery);
            if (end > pos) {
                spans.emplace_back(pos, end);
            }
        }
    }
}

}  // namespace

std::string MaskPasswords(std::string_view text) {
    std::vector<Span> spans;
    FindUriPasswords(text, spans);
    FindKeyPasswords(text, spans);
    std::sort(spans.begin(), spans.end());
    std::string masked;
    std::size_t copied = 0;
    for (const auto& [begin, end] : spans) {
        if (begin < copied) {
            copied = std::max(copied, end);  // overlaps a span masked already
            continue;
        }
        masked += text.substr(copied, begin - copied);
        masked += kMask;
        copied = end;
    }
    masked += text.substr(copied);
    return masked;
}

std::string UriPassword(std::string_view uri) {
    std::vector<Span> spans;
    FindUriPasswords(uri, spans);
    return spans.empty()
               ? std::string()
               : std::string(uri.substr(spans[0].first, spans[0].second - spans[0].first));
}

std::string WithoutSecret(std::string text, std::string_view secret) {
    if (secret.empty()) {
        return text;
    }
    for (std::size_t found = text.find(secret); found != std::string::npos;
         found = text.find(secret, found + kMask.size())) {
        text.replace(found, secret.size(), kMask);
    }
    return text;
}

}  // namespace vesk::data_access
