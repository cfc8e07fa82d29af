// velmorant-cli generate OUT.mdb --seed N --scale S [--share-identifiers-with FILE]
// [--profile server|dense]:
// writes a server database full of made-up rows for merges to work on:
// keys with gaps delivered out of order, devices of every type (0, 10, 12
// and Null included), references that point nowhere, quotes in
// identifiers, and Slovak texts as long as a server's (names, places,
// descriptions up to the column's length, notes up to tens of KB; see
// generate_text.h). The profile sets how many rows each table gets: a
// server's usual mix, or short rows dominating ("dense"). The same seed,
// scale and profile give the same file. Keys are distinct by construction,
// so every row drawn is written.
#ifdef _WIN32
#define NOMINMAX
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#endif

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "cli/commands.h"
#include "cli/generate_text.h"
#include "jet/database.h"
#include "jet/table.h"
#include "jet/text.h"
#include "merge/dao.h"
#include "merge/names.h"
#include "schema/catalogue.h"

namespace {

namespace fs = std::filesystem;
using jet::Value;

// The empty server database that every generated file starts from: beside
// the program in a build, in the data folder of an installed program.
constexpr const char* kTemplate = "velmorant-blank.mdb";

// How many rows a table gets per unit of scale. A server's files are mostly
// identifiers and what each device was sent or asked for about them; the
// owning tables stay small. Tables not listed get `otherRows`.
struct RowsPerScale {
    std::string_view table;
    int rows;
};
struct Profile {
    std::string_view name;
    std::vector<RowsPerScale> rows;
    int otherRows;
    int anyDeviceType; // percent of devices whose type is drawn from all types, not only those merged
};
const std::vector<Profile>& profiles() {
    static const std::vector<Profile> all = {
        {"server",
         {
             {schema::zariadenia::table, 20},
             {schema::skupiny_majitelov_identifikatorov::table, 4},
             {schema::obchodzky::table, 10},
             {schema::identifikatory::table, 150},
             {schema::downloadovane_identifikatory::table, 1500},
             {schema::pozadovane_identifikatory_priamo_na_zariadeniach::table, 300},
             {schema::pozadovane_identifikatory_v_skupinach::table, 120},
             {schema::downloadovane_casove_zony_identifikatorov_na_zariadeniach::table, 120},
             {schema::pozadovane_casove_zony_identifikatorov_na_zariadeniach::table, 40},
             {schema::downloadovane_releidentifikatory::table, 60},
             {schema::pozadovane_releidentifikatory_na_zariadeniach::table, 40},
             {schema::downloadovane_identifikatory_vo_vytahoch::table, 40},
             {schema::pozadovane_identifikatory_vo_vytahoch::table, 20},
             {schema::garazovy_modul_aktualne_identifikatory::table, 20},
             {schema::udalosti::table, 50},
             {schema::alarmy::table, 15},
             {schema::hlasove_vyzvy::table, 10},
         },
         5,
         100},
        // Short rows in their hundreds of thousands: what the identifier,
        // download and time-zone tables of a busy server hold, with few
        // events and notes between them.
        {"dense",
         {
             {schema::zariadenia::table, 20},
             {schema::skupiny_majitelov_identifikatorov::table, 4},
             {schema::obchodzky::table, 2},
             {schema::identifikatory::table, 150},
             {schema::downloadovane_identifikatory::table, 3000},
             {schema::pozadovane_identifikatory_priamo_na_zariadeniach::table, 800},
             {schema::pozadovane_identifikatory_v_skupinach::table, 300},
             {schema::casove_zony_zariadeni::table, 2000},
             {schema::downloadovane_casove_zony::table, 1200},
             {schema::downloadovane_casove_zony_identifikatorov_na_zariadeniach::table, 800},
             {schema::pozadovane_casove_zony_identifikatorov_na_zariadeniach::table, 300},
             {schema::downloadovane_releidentifikatory::table, 100},
             {schema::pozadovane_releidentifikatory_na_zariadeniach::table, 60},
             {schema::downloadovane_identifikatory_vo_vytahoch::table, 100},
             {schema::pozadovane_identifikatory_vo_vytahoch::table, 40},
             {schema::garazovy_modul_aktualne_identifikatory::table, 40},
             {schema::udalosti::table, 5},
             {schema::alarmy::table, 2},
             {schema::hlasove_vyzvy::table, 2},
         },
         1,
         10},
    };
    return all;
}

const Profile* profileNamed(std::string_view name) {
    for (const Profile& p : profiles())
        if (p.name == name) return &p;
    return nullptr;
}

std::string lower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

std::u16string upper(std::u16string text) {
    for (char16_t& c : text)
        if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
    return text;
}

// The characters each text column holds at most, by "table.column" in
// lower case.
using TextLengths = std::unordered_map<std::string, std::size_t>;

std::string columnKey(std::string_view table, std::string_view column) {
    return lower(std::string(table) + "." + std::string(column));
}

jet::Status textLengthsOf(const std::string& path, TextLengths* out) {
    std::unique_ptr<jet::Database> db;
    JET_TRY(jet::Database::open(path, jet::OpenMode::ReadOnly, &db));
    for (const schema::TableInfo& info : schema::tables()) {
        std::unique_ptr<jet::Table> table;
        JET_TRY(db->openTable(info.name, &table));
        for (const jet::Column& column : table->columns())
            if (column.type == jet::ColumnType::Text) (*out)[columnKey(info.name, column.name)] = column.length / 2;
    }
    return jet::Status::OK();
}

class Generator {
public:
    Generator(std::uint64_t seed, int scale, const Profile& profile, std::vector<std::u16string> shared,
              TextLengths lengths)
        : random_(seed), prose_(random_), scale_(scale), profile_(profile), identifiers_(std::move(shared)),
          lengths_(std::move(lengths)) {}

    jet::Status fill(merge::Database& db) {
        makeIdentifiers();
        // The tables that own keys first (groups before the patrol rounds that
        // refer to them, events before their references), so that the others
        // can refer to them.
        std::vector<schema::TableInfo> order(schema::tables().begin(), schema::tables().end());
        std::stable_partition(order.begin(), order.end(), [&](const schema::TableInfo& t) {
            return ownedBy(t.name) != nullptr || t.name == schema::udalosti::table;
        });
        std::stable_partition(order.begin(), order.end(), [](const schema::TableInfo& t) {
            return t.name == schema::skupiny_majitelov_identifikatorov::table;
        });
        for (const schema::TableInfo& table : order) JET_TRY(fillTable(db, table));
        return jet::Status::OK();
    }
    std::int64_t written = 0;

private:
    std::uint64_t below(std::uint64_t n) { return random_() % n; }
    bool chance(int percent) { return below(100) < static_cast<std::uint64_t>(percent); }

    // The identifiers of this file: a third of the shared file's ones (some
    // with their letter case turned), new ones, two with quotes, and a few
    // strays at the end that other tables name but identifikatory lacks. No
    // two are equal ignoring letter case, as the target's index compares them.
    void makeIdentifiers() {
        std::vector<std::u16string> shared = std::move(identifiers_);
        identifiers_.clear();
        std::unordered_set<std::u16string> seen;
        auto add = [&](std::u16string id) {
            if (seen.insert(upper(id)).second) identifiers_.push_back(std::move(id));
        };
        for (std::uint64_t i : distinct(shared.size() / 3, shared.size()))
            add(chance(20) ? flipCase(shared[i]) : shared[i]);
        add(u"O'Neil-1");
        add(u"D'Arc-7");
        std::size_t wanted = rowsOf(schema::identifikatory::table);
        while (identifiers_.size() < wanted) add(newIdentifier());
        owners_ = identifiers_.size();
        for (std::size_t strays = 1 + wanted / 50; strays > 0; --strays)
            add(jet::fromUtf8("X" + std::to_string(strays)));
    }

    std::u16string newIdentifier() {
        char buffer[24];
        std::snprintf(buffer, sizeof buffer, chance(67) ? "%08llX" : "%010llu",
                      static_cast<unsigned long long>(below(10000000000ull)));
        return jet::fromUtf8(buffer);
    }

    static std::u16string flipCase(std::u16string text) {
        for (char16_t& c : text)
            if (c >= u'a' && c <= u'z') c = static_cast<char16_t>(c - u'a' + u'A');
            else if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
        return text;
    }

    // `count` distinct numbers below n (all of them when count >= n), shuffled.
    std::vector<std::uint64_t> distinct(std::uint64_t count, std::uint64_t n) {
        count = std::min(count, n);
        std::vector<std::uint64_t> out;
        std::unordered_set<std::uint64_t> taken;
        for (std::uint64_t j = n - count; j < n; ++j) {
            std::uint64_t pick = below(j + 1);
            if (!taken.insert(pick).second) taken.insert(pick = j);
            out.push_back(pick);
        }
        std::shuffle(out.begin(), out.end(), random_);
        return out;
    }

    // Keys of an owning table: gaps between them, handed out shuffled.
    std::vector<Value> ownKeys(int count) {
        std::vector<Value> out;
        for (std::int64_t key = 0; static_cast<int>(out.size()) < count;) out.push_back(key += 1 + below(4));
        std::shuffle(out.begin(), out.end(), random_);
        return out;
    }

    int rowsOf(std::string_view table) const {
        for (const RowsPerScale& entry : profile_.rows)
            if (entry.table == table) return entry.rows * scale_;
        return profile_.otherRows * scale_;
    }

    // A reference to a key of `owner` from `column` ("table.column"): mostly
    // one that exists, sometimes one that does not (always the first one of
    // each column, so that even the smallest file has them), now and then Null.
    Value reference(const std::string& column, const std::vector<Value>& owner) {
        bool first = dangling_.insert(column).second;
        if (!first && chance(7)) return Value{};
        if (first || owner.empty() || chance(10)) return std::int64_t(100000000 + below(1000));
        return owner[below(owner.size())];
    }

    const std::vector<Value>* ownerOf(std::string_view column) const {
        if (column == "id_zariadenia" || column == "idzariadenia" || column.starts_with("id_zariadenia_"))
            return &devices_;
        if (column == "id_skupiny" || column == "idskupiny" || column == "id_skupiny_obchodzkarov") return &groups_;
        if (column == "id_zvuku") return &sounds_;
        if (column == "id_obchodzky") return &patrols_;
        if (column == "id_objednavky") return &orders_;
        return nullptr;
    }

    std::vector<Value>* ownedBy(std::string_view table) {
        if (table == schema::zariadenia::table) return &devices_;
        if (table == schema::skupiny_majitelov_identifikatorov::table) return &groups_;
        if (table == schema::zvuky::table) return &sounds_;
        if (table == schema::obchodzky::table) return &patrols_;
        if (table == schema::objednavaci_system::table) return &orders_;
        return nullptr;
    }

    // The values a unique key column draws from: the owned keys of its own
    // table, or the keys it refers to and a few that exist nowhere, or
    // distinct made-up values of its type.
    std::vector<Value> domain(std::string_view table, const merge::Field& field, int rows) {
        std::string column = lower(field.name);
        if (ownedBy(table)) return ownKeys(rows);
        std::vector<Value> out;
        if (column == "identifikator") {
            out.assign(identifiers_.begin(), identifiers_.end()); // strays included
            return out;
        } else if (column == "id_udalosti") {
            for (std::int64_t id = 1; id <= events_; ++id) out.emplace_back(id);
        } else if (auto* owner = ownerOf(column)) {
            out = *owner;
        } else if (column.starts_with("index_")) {
            for (std::int64_t index = 0; index < 8; ++index) out.push_back(index);
            return out;
        } else if (field.type == jet::ColumnType::Text) {
            for (int i = 0; i < rows; ++i) out.push_back(prose_.words(1) + jet::fromUtf8(" " + std::to_string(i)));
            return out;
        } else {
            return ownKeys(rows);
        }
        for (std::size_t stray = 0, strays = 1 + out.size() / 20; stray < strays; ++stray)
            out.emplace_back(std::int64_t(100000000 + stray));
        return out;
    }

    // Distinct numbers of key tuples over the domains of the key columns
    // (mixed radix, the first column turning fastest); see tuple().
    std::vector<std::uint64_t> keyTuples(const std::vector<std::vector<Value>>& domains, int rows) {
        // Their number, held below 2^60: numbers below any bound up to the
        // true product still decode to distinct tuples.
        constexpr std::uint64_t kBound = 1ull << 60;
        std::uint64_t combinations = 1;
        for (const auto& d : domains)
            combinations = d.empty() ? 0 : combinations > kBound / d.size() ? kBound : combinations * d.size();
        return distinct(static_cast<std::uint64_t>(rows), combinations);
    }

    static Value tupleValue(const std::vector<std::vector<Value>>& domains, std::uint64_t pick, std::size_t column) {
        for (std::size_t k = 0; k < column; ++k) pick /= domains[k].size();
        return domains[column][pick % domains[column].size()];
    }

    Value byType(const merge::Field& field) {
        switch (field.type) {
        case jet::ColumnType::Bool: return chance(50);
        case jet::ColumnType::Byte: return std::int64_t(below(256));
        case jet::ColumnType::Int: return std::int64_t(below(2000)) - 100;
        case jet::ColumnType::Long: return std::int64_t(below(100000));
        case jet::ColumnType::Currency: return jet::Currency{std::int64_t(below(100000000)) - 5000000};
        case jet::ColumnType::Single: return float(below(10000)) / 8;
        case jet::ColumnType::Double: return double(below(1000000)) / 7;
        case jet::ColumnType::DateTime: return jet::DateTime{40000.0 + below(5000) + double(below(1440)) / 1440};
        case jet::ColumnType::Memo: return prose_.notes();
        default: return Value{};
        }
    }

    Value valueFor(std::string_view table, const merge::Field& field, std::size_t maxChars) {
        std::string column = lower(field.name);
        if (column == "typ_zariadenia" && table == schema::zariadenia::table) {
            // Every type shows up once before they are drawn at random; the
            // first four are the types a merge leaves out.
            const Value types[] = {std::int64_t(0), std::int64_t(10), std::int64_t(12), Value{},
                                   std::int64_t(1), std::int64_t(2),  std::int64_t(3),  std::int64_t(5),
                                   std::int64_t(7), std::int64_t(11), std::int64_t(13)};
            if (typeTurn_ < std::size(types)) return types[typeTurn_++];
            if (profile_.anyDeviceType < 100 && !chance(profile_.anyDeviceType))
                return types[4 + below(std::size(types) - 4)];
            return types[below(std::size(types))];
        }
        if (auto* owner = ownerOf(column)) return reference(columnKey(table, column), *owner);
        if (chance(3)) return Value{}; // Nulls in nullable columns
        if (column.find("identifikator") != std::string::npos && field.type == jet::ColumnType::Text)
            return identifiers_[below(identifiers_.size())];
        if (field.type == jet::ColumnType::Text) return prose_.forColumn(column, maxChars);
        return byType(field);
    }

    jet::Status fillTable(merge::Database& db, const schema::TableInfo& info) {
        std::unique_ptr<merge::Recordset> rs;
        JET_TRY(db.openRecordset(info.name, &rs));
        const std::vector<merge::Field>& fields = rs->fields();
        int rows = info.name == schema::identifikatory::table ? static_cast<int>(owners_) : rowsOf(info.name);
        std::vector<int> keyFields;
        std::vector<std::vector<Value>> domains;
        // Rows get distinct values in the columns of the unique index by
        // construction; the engine numbers an AutoNumber column itself.
        for (std::string_view qualified : info.uniqueKey) {
            const std::string_view column = merge::ONT(qualified);
            const int index = merge::fieldIndex(fields, column);
            if (index < 0)
                return jet::Status::error(jet::Status::Code::NotFound,
                                          "Chýba stĺpec " + std::string(column) + " v " + std::string(info.name));
            if (fields[index].autoNumber) continue;
            keyFields.push_back(index);
            domains.push_back(info.name == schema::identifikatory::table
                                  ? std::vector<Value>(identifiers_.begin(), identifiers_.begin() + rows)
                                  : domain(info.name, fields[index], rows));
        }
        std::vector<std::size_t> maxChars;
        for (const merge::Field& field : fields) {
            auto length = lengths_.find(columnKey(info.name, field.name));
            maxChars.push_back(length == lengths_.end() ? 0 : length->second);
        }
        std::vector<std::uint64_t> keys =
            keyFields.empty() ? std::vector<std::uint64_t>(rows) : keyTuples(domains, rows);
        std::vector<Value>* owned = ownedBy(info.name);
        for (std::uint64_t key : keys) {
            std::vector<Value>& row = rs->addNew();
            for (std::size_t f = 0; f < fields.size(); ++f)
                if (!fields[f].autoNumber) row[f] = valueFor(info.name, fields[f], maxChars[f]);
            for (std::size_t k = 0; k < keyFields.size(); ++k) row[keyFields[k]] = tupleValue(domains, key, k);
            JET_TRY(rs->save());
            ++written;
            if (owned) owned->push_back(tupleValue(domains, key, 0));
        }
        if (info.name == schema::udalosti::table) events_ = static_cast<std::int64_t>(keys.size());
        return jet::Status::OK();
    }

    std::mt19937_64 random_;
    Prose prose_;
    int scale_;
    const Profile& profile_;
    std::vector<std::u16string> identifiers_;
    TextLengths lengths_;
    std::size_t owners_ = 0; // the leading identifiers_ that identifikatory holds
    std::int64_t events_ = 0;
    std::size_t typeTurn_ = 0;
    std::unordered_set<std::string> dangling_; // the reference columns that already refer nowhere
    std::vector<Value> devices_, groups_, sounds_, patrols_, orders_;
};

// The identifier texts of another server database.
jet::Status identifiersOf(const std::string& path, std::vector<std::u16string>* out) {
    std::unique_ptr<merge::Database> db;
    JET_TRY(merge::openDatabase(path, &db));
    std::unique_ptr<merge::Recordset> rs;
    JET_TRY(db->openRecordset(schema::identifikatory::table, &rs));
    int column = merge::fieldIndex(rs->fields(), merge::ONT(schema::identifikatory::identifikator));
    while (column >= 0 && !rs->eof()) {
        if (auto* text = std::get_if<std::u16string>(&rs->values()[column])) out->push_back(*text);
        JET_TRY(rs->moveNext());
    }
    return jet::Status::OK();
}

bool parseNumber(const std::string& text, std::uint64_t* out) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *out);
    return error == std::errc() && end == text.data() + text.size();
}

// The program's own folder; empty when it cannot be told.
fs::path programFolder() {
#ifdef _WIN32
    wchar_t self[MAX_PATH];
    const DWORD n = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    return n == 0 || n == MAX_PATH ? fs::path() : fs::path(self).parent_path();
#else
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path() : self.parent_path();
#endif
}

// The data folder is found from the program's own place, so an installed
// tree works under any prefix (and in a staging folder).
fs::path templatePath() {
    const fs::path folder = programFolder();
    if (folder.empty()) return kTemplate;
    std::error_code error;
    const fs::path beside = folder / kTemplate;
    return fs::exists(beside, error) ? beside : folder / VELMORANT_DATA_FROM_BIN / kTemplate;
}

} // namespace

int runGenerate(const std::vector<std::string>& args) {
    std::string out, shareWith;
    std::uint64_t seed = 0, scale = 0;
    const Profile* profile = &profiles().front();
    bool usage = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        bool hasValue = i + 1 < args.size();
        if (args[i] == "--seed" && hasValue) usage |= !parseNumber(args[++i], &seed);
        else if (args[i] == "--scale" && hasValue) usage |= !parseNumber(args[++i], &scale);
        else if (args[i] == "--share-identifiers-with" && hasValue) shareWith = args[++i];
        else if (args[i] == "--profile" && hasValue) usage |= (profile = profileNamed(args[++i])) == nullptr;
        else if (out.empty() && !args[i].starts_with("--")) out = args[i];
        else usage = true;
    }
    if (usage || !profile || out.empty() || scale < 1 || scale > 10000) {
        std::cerr << "Použitie: velmorant-cli generate VÝSTUP.mdb --seed N --scale S "
                     "[--share-identifiers-with SÚBOR.mdb] [--profile server|dense]\n";
        return 2;
    }
    std::vector<std::u16string> shared;
    jet::Status status = shareWith.empty() ? jet::Status::OK() : identifiersOf(shareWith, &shared);
    std::error_code error;
    const fs::path outPath(std::u8string(out.begin(), out.end())); // UTF-8 on every system
    if (status.ok() && !fs::copy_file(templatePath(), outPath, fs::copy_options::overwrite_existing, error))
        status = jet::Status::error(jet::Status::Code::IoError, "Nie je možné vytvoriť súbor: " + error.message());
    if (status.ok())
        fs::permissions(outPath, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, error);
    TextLengths lengths;
    if (status.ok()) status = textLengthsOf(out, &lengths);
    Generator generator(seed, static_cast<int>(scale), *profile, std::move(shared), std::move(lengths));
    std::unique_ptr<merge::Database> db;
    if (status.ok()) status = merge::openDatabase(out, &db);
    if (status.ok()) status = db->begin();
    if (status.ok()) status = generator.fill(*db);
    if (status.ok()) status = db->commit();
    if (!status.ok()) {
        std::cerr << out << ": " << status.message() << "\n";
        return 1;
    }
    std::cout << "rows=" << generator.written << "\n";
    return 0;
}
