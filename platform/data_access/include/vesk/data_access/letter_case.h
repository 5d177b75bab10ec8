#pragma once

#include <string>
#include <string_view>

// The one rule for "equal ignoring letter case", used wherever texts are compared that way:
// Find and Filter, column names, duplicate checks of the photo store and the editor, and the
// late-bound names. Each code point is replaced by its simple case fold (Unicode CaseFolding,
// statuses C and S), which is one code point again: "Straße" equals "STRAßE" and "straße" but
// not "STRASSE"; ǅ, Ǆ and ǆ are equal; ς, σ and Σ are equal; i/I and ı/İ are two pairs that
// never meet; a letter with a combining mark is not the precomposed letter. Texts are UTF-8;
// a byte that is not part of a well-formed sequence stands for itself and equals only itself.
namespace vesk::data_access {

// The simple case fold of one code point (itself when it has none).
char32_t FoldCodePoint(char32_t code);

// `text` with every code point folded. Malformed bytes are kept as they are.
std::string FoldCase(std::string_view text);

// Whether the two texts are equal under the rule.
bool SameIgnoringCase(std::string_view left, std::string_view right);

// Orders the folded texts by code point: negative, 0 or positive.
int CompareIgnoringCase(std::string_view left, std::string_view right);

}  // namespace vesk::data_access
