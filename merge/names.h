// Helpers for the names of tables and columns.
#pragma once

#include <string_view>

namespace merge {

// The bare column name of a qualified one: the part after the last ".", or
// the whole text when it holds no ".".
inline std::string_view ONT(std::string_view nazov) {
    auto dot = nazov.rfind('.');
    return dot == std::string_view::npos ? nazov : nazov.substr(dot + 1);
}

} // namespace merge
