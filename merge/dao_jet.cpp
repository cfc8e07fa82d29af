// The data access of the merge over the jet engine.
#include <algorithm>
#include <list>
#include <unordered_map>

#include "jet/database.h"
#include "jet/table.h"
#include "jet/text.h"
#include "merge/dao.h"
#include "merge/text_set.h"

namespace merge {

namespace {

std::u16string folded(std::u16string_view text) {
    std::u16string out(text);
    for (char16_t& c : out) c = jet::foldCase(c);
    return out;
}

// The texts of one column of one table, folded as the engine compares them:
// answers the identifier test in O(1) and learns the rows saved through it.
struct TextSet {
    std::string column;
    std::size_t field = 0; // the column's position in the table's rows
    FoldedTextSet texts;
};
// The text sets of one table; a list, so that a set stays where it is
// while others are added.
struct TableTexts {
    std::list<TextSet> sets;
    std::size_t coming = 0; // rows a recordset expects to save into the table
};
// By folded table name.
using TextSets = std::unordered_map<std::string, TableTexts>;

std::string foldedUtf8(std::string_view name) { return jet::toUtf8(folded(jet::fromUtf8(name))); }

// The result of a statement: one row in memory, or none.
class ResultRecordset : public Recordset {
public:
    ResultRecordset() = default;
    explicit ResultRecordset(jet::Value value) : row_{std::move(value)}, eof_(false) {}
    const std::vector<Field>& fields() const override {
        static const std::vector<Field> fields{Field{"value"}};
        return fields;
    }
    bool eof() const override { return eof_; }
    const std::vector<jet::Value>& values() const override { return row_; }
    std::vector<jet::Value>& values() override { return row_; }
    jet::Status moveNext() override {
        eof_ = true;
        return jet::Status::OK();
    }
    std::size_t rowCount() const override { return eof_ ? 0 : 1; }
    std::vector<jet::Value>& addNew() override {
        fresh_.assign(1, jet::Value{});
        return fresh_;
    }
    jet::Status save() override {
        return jet::Status::error(jet::Status::Code::InvalidArgument, "Výsledok dotazu nemožno meniť");
    }
    jet::Status save(const std::vector<bool>&, std::vector<std::size_t>*) override { return save(); }
    void expect(std::size_t) override {}

private:
    std::vector<jet::Value> row_;
    bool eof_ = true;
    std::vector<jet::Value> fresh_;
};

class TableRecordset : public Recordset {
public:
    TableRecordset(std::unique_ptr<jet::Table> table, TableTexts* texts)
        : table_(std::move(table)), cursor_(*table_), texts_(texts) {
        for (const jet::Column& c : table_->columns()) fields_.push_back({c.name, c.type, c.autonumber});
    }
    jet::Status start() { return cursor_.next(&hasRow_); }

    const std::vector<Field>& fields() const override { return fields_; }
    bool eof() const override { return !hasRow_; }
    const std::vector<jet::Value>& values() const override { return cursor_.row(); }
    std::vector<jet::Value>& values() override { return cursor_.row(); }
    jet::Status moveNext() override { return hasRow_ ? cursor_.next(&hasRow_) : jet::Status::OK(); }
    std::size_t rowCount() const override { return table_->rowCount(); }
    // The values a saved row left behind are emptied in place: most are
    // empty already, having gone back to the row they came from.
    std::vector<jet::Value>& addNew() override {
        fresh_.resize(fields_.size());
        for (jet::Value& v : fresh_)
            if (!jet::isNull(v)) v = jet::Value{};
        return fresh_;
    }
    jet::Status save() override {
        JET_TRY(table_->append(&fresh_));
        learnSaved();
        return jet::Status::OK();
    }
    jet::Status save(const std::vector<bool>& emptiable, std::vector<std::size_t>* emptied) override {
        JET_TRY(table_->append(&fresh_, emptiable, emptied));
        learnSaved();
        return jet::Status::OK();
    }
    // The text sets made later are sized for the rows as well.
    void expect(std::size_t rows) override {
        table_->expect(rows);
        texts_->coming = rows;
        for (TextSet& set : texts_->sets) set.texts.reserve(set.texts.size() + rows);
    }

private:
    // The text sets of the table learn the row just saved.
    void learnSaved() {
        for (TextSet& set : texts_->sets) {
            auto* text = set.field < fresh_.size() ? std::get_if<std::u16string>(&fresh_[set.field]) : nullptr;
            if (text) set.texts.insert(*text);
        }
    }

    std::unique_ptr<jet::Table> table_;
    jet::Table::Cursor cursor_;
    std::vector<Field> fields_;
    TableTexts* texts_; // the database's for this table, kept up to date with each row saved
    bool hasRow_ = false;
    std::vector<jet::Value> fresh_;
};

class JetDatabase : public Database {
public:
    explicit JetDatabase(std::unique_ptr<jet::Database> db) : db_(std::move(db)) {}

    jet::Status property(std::string_view name, std::string* value) override {
        jet::Value v;
        JET_TRY(db_->property(name, &v));
        auto* text = std::get_if<std::u16string>(&v);
        if (!text) return jet::Status::error(jet::Status::Code::NotFound, "Vlastnosť databázy nie je text");
        *value = jet::toUtf8(*text);
        return jet::Status::OK();
    }

    jet::Status openRecordset(std::string_view name, std::unique_ptr<Recordset>* out) override {
        std::unique_ptr<jet::Table> table;
        JET_TRY(db_->openTable(name, &table));
        TableTexts* texts = &textSets_[foldedUtf8(table->name())];
        auto rs = std::make_unique<TableRecordset>(std::move(table), texts);
        JET_TRY(rs->start());
        *out = std::move(rs);
        return jet::Status::OK();
    }

    jet::Status openRecordset(const Statement& statement, std::unique_ptr<Recordset>* out) override {
        if (auto* max = std::get_if<MaxOf>(&statement)) {
            jet::Value highest;
            JET_TRY(maximum(*max, &highest));
            *out = std::make_unique<ResultRecordset>(std::move(highest));
            return jet::Status::OK();
        }
        const ValueOf& equal = std::get<ValueOf>(statement);
        TextSet* set = nullptr;
        JET_TRY(textSet(equal.table, equal.column, &set));
        if (set->texts.contains(equal.text)) *out = std::make_unique<ResultRecordset>(std::u16string(equal.text));
        else *out = std::make_unique<ResultRecordset>();
        return jet::Status::OK();
    }

    jet::Status canAppend(std::string_view name) override {
        std::unique_ptr<jet::Table> table;
        JET_TRY(db_->openTable(name, &table));
        return table->canAppend();
    }
    jet::Status begin() override { return db_->begin(); }
    jet::Status commit() override { return db_->commit(); }
    jet::Status rollback() override {
        // They may hold texts of rows that are gone now. The lists stay:
        // open recordsets keep them.
        for (auto& [table, texts] : textSets_) texts.sets.clear();
        lastSet_ = nullptr;
        return db_->rollback();
    }

private:
    // Scans one column of a table; visit gets each non-Null value. *at, when
    // given, learns the column's position.
    template <class Visit>
    jet::Status scanColumn(std::string_view tableName, std::string_view column, Visit visit,
                           std::size_t* position = nullptr) {
        std::unique_ptr<jet::Table> table;
        JET_TRY(db_->openTable(tableName, &table));
        const int at = table->columnIndex(column);
        if (at < 0) return jet::Status::error(jet::Status::Code::NotFound, "Stĺpec " + std::string(column) + " chýba");
        if (position) *position = static_cast<std::size_t>(at);
        jet::Table::Cursor cursor(*table, false); // only this column is decoded
        jet::Value value;
        for (bool hasRow = true;;) {
            JET_TRY(cursor.next(&hasRow));
            if (!hasRow) return jet::Status::OK();
            JET_TRY(cursor.read(static_cast<std::size_t>(at), &value));
            if (!jet::isNull(value)) visit(value);
        }
    }

    jet::Status rowCount(std::string_view tableName, std::size_t* rows) {
        std::unique_ptr<jet::Table> table;
        JET_TRY(db_->openTable(tableName, &table));
        *rows = table->rowCount();
        return jet::Status::OK();
    }

    // From the last entry of an index on the column where there is one;
    // otherwise by reading every row.
    jet::Status maximum(const MaxOf& max, jet::Value* out) {
        std::unique_ptr<jet::Table> table;
        JET_TRY(db_->openTable(max.table, &table));
        bool found = false;
        JET_TRY(table->highestIndexed(max.column, &found, out));
        if (found) return jet::Status::OK();
        return scanColumn(max.table, max.column, [&](const jet::Value& v) {
            auto* key = std::get_if<std::int64_t>(&v);
            if (key && (jet::isNull(*out) || *key > std::get<std::int64_t>(*out))) *out = *key;
        });
    }

    // The set of one column, made on first use. A step asks for the same
    // one row after row: that one is found without folding names again.
    jet::Status textSet(std::string_view table, std::string_view column, TextSet** out) {
        if (lastSet_ && table == lastTable_ && column == lastColumn_) {
            *out = lastSet_;
            return jet::Status::OK();
        }
        TableTexts& texts = textSets_[foldedUtf8(table)];
        std::list<TextSet>& sets = texts.sets;
        *out = nullptr;
        for (auto it = sets.begin(); !*out && it != sets.end(); ++it)
            if (jet::equalsIgnoreCase(it->column, column)) *out = &*it;
        if (!*out) {
            TextSet set{std::string(column), 0, {}};
            std::size_t rows = 0;
            JET_TRY(rowCount(table, &rows));
            set.texts.reserve(std::min(rows, kMostRowsSizedAhead) + texts.coming);
            JET_TRY(scanColumn(
                table, column,
                [&](const jet::Value& v) {
                    if (auto* text = std::get_if<std::u16string>(&v)) set.texts.insert(*text);
                },
                &set.field));
            sets.push_back(std::move(set));
            *out = &sets.back();
        }
        lastTable_ = table;
        lastColumn_ = column;
        lastSet_ = *out;
        return jet::Status::OK();
    }

    std::unique_ptr<jet::Database> db_;
    TextSets textSets_;
    std::string lastTable_, lastColumn_; // as last asked for, spelled as then
    TextSet* lastSet_ = nullptr;
};

} // namespace

jet::Status openDatabase(const std::string& path, std::unique_ptr<Database>* out, jet::OpenMode mode,
                         const jet::OpenOptions& options) {
    std::unique_ptr<jet::Database> db;
    JET_TRY(jet::Database::open(path, mode, options, &db));
    *out = std::make_unique<JetDatabase>(std::move(db));
    return jet::Status::OK();
}

} // namespace merge
