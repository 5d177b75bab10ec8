#include "vesk/data_access/letter_case.h"

#include <algorithm>
#include <iterator>

namespace vesk::data_access {

namespace {

struct FoldPair {
    char32_t code;
    char32_t folded;
};

constexpr FoldPair kFolds[] = {
#include "case_fold_table.inc"
};

static_assert(std::is_sorted(std::begin(kFolds), std::end(kFolds),
                             [](const FoldPair& a, const FoldPair& b) { return a.code < b.code; }),
              "the fold table is searched by halves");

// Stands for a byte that starts no well-formed sequence: above every code point, so that it
// folds to itself and equals nothing but the same byte.
constexpr char32_t kLoneByteBase = 0x110000;

// Length of the well-formed UTF-8 sequence at `pos`, or 0 when there is none.
std::size_t SequenceLength(std::string_view text, std::size_t pos) {
    auto lead = static_cast<unsigned char>(text[pos]);
    std::size_t length = lead < 0x80                    ? 1
                         : lead >= 0xC2 && lead <= 0xDF ? 2
                         : lead >= 0xE0 && lead <= 0xEF ? 3
                         : lead >= 0xF0 && lead <= 0xF4 ? 4
                                                        : 0;
    if (length == 0 || pos + length > text.size()) {
        return 0;
    }
    for (std::size_t index = 1; index < length; ++index) {
        if ((static_cast<unsigned char>(text[pos + index]) & 0xC0) != 0x80) {
            return 0;
        }
    }
    auto second = static_cast<unsigned char>(length > 1 ? text[pos + 1] : 0);
    bool overlong = (lead == 0xE0 && second < 0xA0) || (lead == 0xF0 && second < 0x90);
    bool surrogate = lead == 0xED && second >= 0xA0;
    bool tooHigh = lead == 0xF4 && second >= 0x90;
    return overlong || surrogate || tooHigh ? 0 : length;
}

// Decodes the code point at `pos` and moves past it; a malformed byte gives kLoneByteBase + byte.
char32_t NextCodePoint(std::string_view text, std::size_t& pos) {
    std::size_t length = SequenceLength(text, pos);
    auto lead = static_cast<unsigned char>(text[pos]);
    if (length == 0) {
        ++pos;
        return kLoneByteBase + lead;
    }
    char32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t index = 1; index < length; ++index) {
        code = (code << 6) | (static_cast<unsigned char>(text[pos + index]) & 0x3F);
    }
    pos += length;
    return code;
}

void AppendUtf8(std::string& out, char32_t code) {
    if (code >= kLoneByteBase) {
        out += static_cast<char>(code - kLoneByteBase);
    } else if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace

char32_t FoldCodePoint(char32_t code) {
    if (code < 0x80) {
        return code >= 'A' && code <= 'Z' ? code + ('a' - 'A') : code;
    }
    const FoldPair* end = std::end(kFolds);
    const FoldPair* found =
        std::lower_bound(std::begin(kFolds), end, code,
                         [](const FoldPair& pair, char32_t wanted) { return pair.code < wanted; });
    return found != end && found->code == code ? found->folded : code;
}

std::string FoldCase(std::string_view text) {
    std::string folded;
    folded.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        AppendUtf8(folded, FoldCodePoint(NextCodePoint(text, pos)));
    }
    return folded;
}

int CompareIgnoringCase(std::string_view left, std::string_view right) {
    std::size_t leftPos = 0;
    std::size_t rightPos = 0;
    while (leftPos < left.size() && rightPos < right.size()) {
        char32_t a = FoldCodePoint(NextCodePoint(left, leftPos));
        char32_t b = FoldCodePoint(NextCodePoint(right, rightPos));
        if (a != b) {
            return a < b ? -1 : 1;
        }
    }
    bool leftDone = leftPos == left.size();
    bool rightDone = rightPos == right.size();
    return leftDone == rightDone ? 0 : leftDone ? -1 : 1;
}

bool SameIgnoringCase(std::string_view left, std::string_view right) {
    return CompareIgnoringCase(left, right) == 0;
}

}  // namespace vesk::data_access
