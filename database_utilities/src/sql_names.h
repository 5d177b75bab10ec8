#pragma once

#include <string>
#include <string_view>

namespace vesk::database_utilities::detail {

// `name` ready to stand in a statement as a table or column name: a plain name (a letter or
// '_' and then letters, digits or '_', no reserved word) as it is, so that the server folds it
// to lower case as it does the names in every other statement; any other name between double
// quotes, its own double quotes doubled, so that it is kept letter for letter.
std::string SqlName(std::string_view name);

}  // namespace vesk::database_utilities::detail
