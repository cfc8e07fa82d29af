// velmorant-cli generate OUT.mdb --seed N --scale S [--share-identifiers-with FILE]:
// writes a server database full of made-up rows for merges to work on:
// keys with gaps delivered out of order, devices of every type (0, 10, 12
// and Null included), references that point nowhere, Slovak text, quotes in
// identifiers. The same seed and scale give the same file. Rows the target
// refuses (duplicate keys drawn by chance) are simply not written.
#include <algorithm>
#include <charconv>
#include <filesystem>
#include <iostream>
#include <random>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "jet/text.h"
#include "merge/dao.h"
#include "merge/names.h"
#include "schema/catalogue.h"

namespace {

namespace fs = std::filesystem;
using jet::Value;

// The empty server database that every generated file starts from; it lies
// beside the program.
constexpr const char* kTemplate = "velmorant-blank.mdb";

const char* const kWords[] = {"Brána", "Ďumbierska", "Sklad", "č. 3", "Šatňa", "žien", "Výťah", "Kŕdeľ",
                              "ľudia", "Ôsmy", "vchod", "Čítačka", "O'Neil", "„dôležité“", "−1", "mäta"};

class Generator {
public:
    Generator(std::uint64_t seed, int scale, std::vector<std::u16string> shared)
        : random_(seed), scale_(scale), identifiers_(std::move(shared)) {}

    jet::Status fill(merge::Database& db) {
        makeIdentifiers();
        // The tables that own keys first (groups before the patrol rounds that
        // refer to them), so that the others can refer to them.
        std::vector<schema::TableInfo> order(schema::tables().begin(), schema::tables().end());
        std::stable_partition(order.begin(), order.end(),
                              [&](const schema::TableInfo& t) { return ownedBy(t.name) != nullptr; });
        std::stable_partition(order.begin(), order.end(), [](const schema::TableInfo& t) {
            return t.name == schema::skupiny_majitelov_identifikatorov::table;
        });
        for (const schema::TableInfo& table : order) JET_TRY(fillTable(db, table));
        return jet::Status::ok();
    }
    int written = 0, refused = 0;

private:
    std::uint64_t below(std::uint64_t n) { return random_() % n; }
    bool chance(int percent) { return below(100) < static_cast<std::uint64_t>(percent); }

    std::u16string text(int words) {
        std::string out;
        for (int i = 0; i < words; ++i) out += std::string(i ? " " : "") + kWords[below(std::size(kWords))];
        return jet::fromUtf8(out);
    }

    void makeIdentifiers() {
        std::size_t shared = identifiers_.size() / 3;
        std::vector<std::u16string> kept;
        for (std::size_t i = 0; i < shared; ++i) kept.push_back(identifiers_[below(identifiers_.size())]);
        identifiers_ = std::move(kept);
        for (int i = 0; i < 400 * scale_; ++i) {
            char buffer[24];
            std::snprintf(buffer, sizeof buffer, i % 3 ? "%08llX" : "%010llu",
                          static_cast<unsigned long long>(below(10000000000ull)));
            identifiers_.push_back(jet::fromUtf8(buffer));
        }
        identifiers_.push_back(u"O'Neil-1");
        identifiers_.push_back(u"D'Arc-7");
    }

    // Keys of an owning table: gaps between them, handed out shuffled.
    std::vector<std::int64_t> keys(int count) {
        std::vector<std::int64_t> out;
        for (std::int64_t key = 0; static_cast<int>(out.size()) < count;) out.push_back(key += 1 + below(4));
        std::shuffle(out.begin(), out.end(), random_);
        return out;
    }

    int rowsOf(std::string_view table) const {
        if (table == schema::identifikatory::table) return static_cast<int>(identifiers_.size());
        if (table == schema::zariadenia::table) return 30 * scale_;
        if (table == schema::skupiny_majitelov_identifikatorov::table) return 12 * scale_;
        if (table == schema::udalosti::table || table == schema::alarmy::table) return 200 * scale_;
        return 25 * scale_;
    }

    // A reference to a key of `owner`: mostly one that exists, sometimes one
    // that does not, now and then Null.
    Value reference(const std::vector<std::int64_t>& owner) {
        if (chance(4)) return Value{};
        if (owner.empty() || chance(8)) return std::int64_t(100000 + below(1000));
        return owner[below(owner.size())];
    }

    const std::vector<std::int64_t>* ownerOf(std::string_view column) const {
        if (column == "id_zariadenia" || column == "idzariadenia" || column.starts_with("id_zariadenia_"))
            return &devices_;
        if (column == "id_skupiny" || column == "idskupiny" || column == "id_skupiny_obchodzkarov") return &groups_;
        if (column == "id_zvuku") return &sounds_;
        if (column == "id_obchodzky") return &patrols_;
        if (column == "id_objednavky") return &orders_;
        return nullptr;
    }

    std::vector<std::int64_t>* ownedBy(std::string_view table) {
        if (table == schema::zariadenia::table) return &devices_;
        if (table == schema::skupiny_majitelov_identifikatorov::table) return &groups_;
        if (table == schema::zvuky::table) return &sounds_;
        if (table == schema::obchodzky::table) return &patrols_;
        if (table == schema::objednavaci_system::table) return &orders_;
        return nullptr;
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
        case jet::ColumnType::Text: return text(1 + below(2));
        case jet::ColumnType::Memo: return chance(10) ? std::u16string() : text(3 + below(200));
        default: return Value{};
        }
    }

    Value valueFor(std::string_view table, const merge::Field& field, std::int64_t ownKey, bool isOwnKey) {
        std::string column(field.name);
        for (char& c : column) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (isOwnKey) return ownKey;
        if (chance(3)) return Value{}; // Nulls in nullable columns (the target refuses the others)
        if (column == "typ_zariadenia" && table == schema::zariadenia::table) {
            const std::int64_t types[] = {0, 1, 2, 3, 5, 7, 10, 11, 12, 13};
            return types[below(std::size(types))];
        }
        if (auto* owner = ownerOf(column)) return reference(*owner);
        if (column.find("identifikator") != std::string::npos && field.type == jet::ColumnType::Text)
            return identifiers_[below(identifiers_.size())];
        return byType(field);
    }

    jet::Status fillTable(merge::Database& db, const schema::TableInfo& info) {
        std::unique_ptr<merge::Recordset> rs;
        JET_TRY(db.openRecordset(info.name, &rs));
        const std::vector<merge::Field>& fields = rs->fields();
        std::vector<std::int64_t>* owned = ownedBy(info.name);
        int keyField = owned ? merge::fieldIndex(fields, merge::ONT(ownKeyColumn(info.name))) : -1;
        std::vector<std::int64_t> ownKeys = keys(rowsOf(info.name));
        for (int r = 0; r < rowsOf(info.name); ++r) {
            std::vector<Value>& row = rs->addNew();
            for (std::size_t f = 0; f < fields.size(); ++f)
                if (!fields[f].autoNumber)
                    row[f] = info.name == schema::identifikatory::table && fields[f].name == "identifikator"
                                 ? Value(identifiers_[r])
                                 : valueFor(info.name, fields[f], ownKeys[r], static_cast<int>(f) == keyField);
            jet::Status saved = rs->save();
            if (saved.code() == jet::Status::Code::Refused) {
                ++refused;
                continue;
            }
            JET_TRY(saved);
            ++written;
            if (owned) owned->push_back(ownKeys[r]);
        }
        return jet::Status::ok();
    }

    static std::string_view ownKeyColumn(std::string_view table) {
        if (table == schema::zariadenia::table) return schema::zariadenia::id_zariadenia;
        if (table == schema::skupiny_majitelov_identifikatorov::table)
            return schema::skupiny_majitelov_identifikatorov::id_skupiny;
        if (table == schema::zvuky::table) return schema::zvuky::id_zvuku;
        if (table == schema::obchodzky::table) return schema::obchodzky::id;
        return schema::objednavaci_system::id_objednavky;
    }

    std::mt19937_64 random_;
    int scale_;
    std::vector<std::u16string> identifiers_;
    std::vector<std::int64_t> devices_, groups_, sounds_, patrols_, orders_;
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
    return jet::Status::ok();
}

bool parseNumber(const std::string& text, std::uint64_t* out) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *out);
    return error == std::errc() && end == text.data() + text.size();
}

fs::path besideProgram(const char* name) {
    std::error_code error;
    fs::path self = fs::read_symlink("/proc/self/exe", error);
    return error ? fs::path(name) : self.parent_path() / name;
}

} // namespace

int runGenerate(const std::vector<std::string>& args) {
    std::string out, shareWith;
    std::uint64_t seed = 0, scale = 0;
    bool usage = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        bool hasValue = i + 1 < args.size();
        if (args[i] == "--seed" && hasValue) usage |= !parseNumber(args[++i], &seed);
        else if (args[i] == "--scale" && hasValue) usage |= !parseNumber(args[++i], &scale);
        else if (args[i] == "--share-identifiers-with" && hasValue) shareWith = args[++i];
        else if (out.empty() && !args[i].starts_with("--")) out = args[i];
        else usage = true;
    }
    if (usage || out.empty() || scale < 1 || scale > 10000) {
        std::cerr << "Použitie: velmorant-cli generate VÝSTUP.mdb --seed N --scale S "
                     "[--share-identifiers-with SÚBOR.mdb]\n";
        return 2;
    }
    std::vector<std::u16string> shared;
    jet::Status status = shareWith.empty() ? jet::Status::ok() : identifiersOf(shareWith, &shared);
    std::error_code error;
    if (status && !fs::copy_file(besideProgram(kTemplate), out, fs::copy_options::overwrite_existing, error))
        status = jet::Status::error(jet::Status::Code::IoError, "Nie je možné vytvoriť súbor: " + error.message());
    if (status) fs::permissions(out, fs::perms::owner_read | fs::perms::owner_write, fs::perm_options::add, error);
    Generator generator(seed, static_cast<int>(scale), std::move(shared));
    std::unique_ptr<merge::Database> db;
    if (status) status = merge::openDatabase(out, &db);
    if (status) status = db->begin();
    if (status) status = generator.fill(*db);
    if (status) status = db->commit();
    if (!status) {
        std::cerr << out << ": " << status.message() << "\n";
        return 1;
    }
    std::cout << "rows=" << generator.written << " refused=" << generator.refused << "\n";
    return 0;
}
