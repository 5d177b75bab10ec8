#pragma once

#include <string>
#include <string_view>

namespace vesk::photo_store {

// A text made safe to stand as (part of) one file name: '/' and NUL, which no file name can
// hold, become %2F and %00, and a '%' that would read as such an escape becomes %25. Every
// other name is unchanged, and different texts never give the same name.
std::string EncodeFileName(std::string_view text);

// The base name (without extension) of a row's photo file: code + "_" + description + "_" +
// group, encoded.
std::string PhotoFileBaseName(std::string_view code, std::string_view description,
                              std::string_view group);

}  // namespace vesk::photo_store
