// Data access for the merge: databases opened exclusively, their properties,
// recordsets on tables (walked, and appended to), and the two single-value
// statements the merge runs. The file-backed implementation sits on the jet
// engine; tests supply their own.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "jet/options.h"
#include "jet/status.h"
#include "jet/value.h"

namespace merge {

struct Field {
    std::string name; // as the file spells it, UTF-8
    jet::ColumnType type = jet::ColumnType::Long;
    bool autoNumber = false; // the engine fills it; copied values are not offered
};

// Position of the field with this name, letter case ignored; -1 when absent.
int fieldIndex(const std::vector<Field>& fields, std::string_view name);

// SELECT MAX(column) FROM table: one row with one value, Null over no rows.
struct MaxOf {
    std::string_view table, column;
};
// SELECT column FROM table WHERE column = text, compared as the engine
// compares text (letter case ignored). Sees rows saved earlier through the
// same database.
struct ValueOf {
    std::string_view table, column;
    std::u16string_view text;
};
using Statement = std::variant<MaxOf, ValueOf>;

// Rows of a table or of a statement. Closing is releasing the object.
class Recordset {
public:
    virtual ~Recordset() = default;
    virtual const std::vector<Field>& fields() const = 0;
    // True when no current row is left (at once for an empty result).
    virtual bool eof() const = 0;
    // The current row, one value per field. Valid until the next moveNext,
    // which replaces every value: the caller may move or swap values out of
    // it (the buffers of what it leaves there may be reused).
    virtual const std::vector<jet::Value>& values() const = 0;
    virtual std::vector<jet::Value>& values() = 0;
    virtual jet::Status moveNext() = 0;
    // The rows there are to walk (a table's count as stored).
    virtual std::size_t rowCount() const = 0;

    // Appending (table recordsets): addNew hands out the new row, all Null,
    // one value per field; save stores it. A row the engine refuses
    // (duplicate in a unique index, missing required value, AutoNumber
    // exhausted) is a Status with Code::Refused; any other failure means the
    // engine itself failed.
    virtual std::vector<jet::Value>& addNew() = 0;
    virtual jet::Status save() = 0;
    // The same, except that a value the engine cannot store in a field that
    // `emptiable` marks (a flag per field) leaves the field empty instead of
    // refusing the row; *emptied lists those fields (in field order).
    virtual jet::Status save(const std::vector<bool>& emptiable, std::vector<std::size_t>* emptied) = 0;
    // About `rows` rows are to be saved: what grows with them is sized
    // once, now.
    virtual void expect(std::size_t rows) = 0;
};

// Rows a table's stored count may size memory for ahead of them: the count
// is the file's word, so past this what grows with rows grows as they come.
constexpr std::size_t kMostRowsSizedAhead = std::size_t{1} << 20;

class Database {
public:
    virtual ~Database() = default;
    // A text property of the database; NotFound when it is missing.
    virtual jet::Status property(std::string_view name, std::string* value) = 0;
    // NotFound when there is no such table (names compared ignoring case).
    virtual jet::Status openRecordset(std::string_view table, std::unique_ptr<Recordset>* out) = 0;
    virtual jet::Status openRecordset(const Statement& statement, std::unique_ptr<Recordset>* out) = 0;
    // Whether rows can be appended to the table at all (it exists, this
    // engine can write it); the reason when not.
    virtual jet::Status canAppend(std::string_view table) = 0;
    // One transaction around all appends: nothing is stored until commit.
    virtual jet::Status begin() = 0;
    virtual jet::Status commit() = 0;
    virtual jet::Status rollback() = 0;
};

// Opens a database file. Exclusive, for reading and writing: a second open
// of the same file fails until the first is released. ReadOnly: nothing is
// written to it, and nobody may write to it until it is released.
// options.notices learns what the open did with leftovers of an interrupted
// run beside the file.
jet::Status openDatabase(const std::string& path, std::unique_ptr<Database>* out,
                         jet::OpenMode mode = jet::OpenMode::Exclusive, const jet::OpenOptions& options = {});

// The value of the first field of the statement's first row as text (a
// whole number as its decimal digits), or the default text when there is no
// row, the value is Null or the statement cannot be run. An empty text
// value gives the empty text.
std::string ZistiStringHodnotu(Database* database, const Statement& query, std::string defaultText);

// A key or reference value as a 32-bit signed integer; false when it is
// Null or not a whole number in range.
bool toInt32(const jet::Value& value, std::int32_t* out);

} // namespace merge
