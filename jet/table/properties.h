// Property blobs (the LvProp long value of a catalogue row): named values of
// an object and of its sub-objects (a table's columns).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "jet/util/bytes.h"
#include "jet/status.h"
#include "jet/value.h"

namespace jet {

struct Property {
    std::string name; // UTF-8
    ColumnType type = ColumnType::Text;
    bool ddl = false; // defined by the engine rather than by an application
    Value value;
};

// The properties of the blob's block for `object`: "" for the object itself
// (the database for MSysDb, the table for a table row), a column name for
// that column. Missing blocks give an empty list; a damaged blob is Corrupt.
Status parseProperties(ByteSpan blob, std::string_view object, std::vector<Property>* out);

} // namespace jet
