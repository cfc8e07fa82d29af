#include "jet/table/catalog.h"

#include <optional>

#include "jet/table/table_impl.h"
#include "jet/text.h"

namespace jet {
namespace {

constexpr std::int32_t kTopContainer = 0x0F000000;
constexpr std::int16_t kLocalTable = 1;
constexpr std::int16_t kDatabaseObject = 2;
constexpr std::int16_t kLinkedOdbcTable = 4;
constexpr std::int16_t kLinkedTable = 6;
constexpr std::uint32_t kSystemFlags = 0x80000002;
constexpr std::uint32_t kHiddenFlag = 0x00000008;

struct Object {
    std::int32_t id = 0, parentId = 0;
    std::int16_t type = 0;
    std::uint32_t flags = 0;
    std::u16string name;
    RowId row;
};

std::int64_t integer(const Value& v) {
    const std::int64_t* i = std::get_if<std::int64_t>(&v);
    return i ? *i : 0;
}

Status column(const TableDef& def, const char* name, const ColumnDef** out) {
    *out = def.column(name);
    if (!*out)
        return Status::error(Status::Code::Corrupt,
                             std::string("Poškodená databáza: katalóg nemá stĺpec ") + name + ".");
    return Status::OK();
}

std::optional<std::int32_t> containerId(const std::vector<Object>& objects, std::u16string_view name) {
    for (const Object& o : objects)
        if (o.parentId == kTopContainer && equalsIgnoreCase(o.name, name)) return o.id;
    return std::nullopt;
}

} // namespace

Status readCatalog(Pager& pager, Catalog* out) {
    TableDef def;
    JET_TRY(readTableDef(pager, kCatalogPage, &def));
    const ColumnDef *id, *parentId, *name, *type, *flags, *props;
    JET_TRY(column(def, "Id", &id));
    JET_TRY(column(def, "ParentId", &parentId));
    JET_TRY(column(def, "Name", &name));
    JET_TRY(column(def, "Type", &type));
    JET_TRY(column(def, "Flags", &flags));
    JET_TRY(column(def, "LvProp", &props));
    TableImpl table(pager, "MSysObjects", def);

    std::vector<Object> objects;
    std::vector<std::pair<std::int32_t, Bytes>> databaseObjects; // parent, property blob
    TableScan cursor(table, false);
    Value v;
    for (;;) {
        bool has;
        JET_TRY(cursor.next(&has));
        if (!has) break;
        const RowView& row = cursor.view();
        Object o;
        o.row = cursor.rowId();
        JET_TRY(row.read(*id, pager, &v));
        o.id = static_cast<std::int32_t>(integer(v));
        JET_TRY(row.read(*parentId, pager, &v));
        o.parentId = static_cast<std::int32_t>(integer(v));
        JET_TRY(row.read(*type, pager, &v));
        o.type = static_cast<std::int16_t>(integer(v));
        JET_TRY(row.read(*flags, pager, &v));
        o.flags = static_cast<std::uint32_t>(integer(v));
        JET_TRY(row.read(*name, pager, &v));
        if (auto* text = std::get_if<std::u16string>(&v)) o.name = *text;
        if (o.type == kDatabaseObject && equalsIgnoreCase(o.name, u"MSysDb")) {
            JET_TRY(row.read(*props, pager, &v));
            auto* blob = std::get_if<Bytes>(&v);
            databaseObjects.emplace_back(o.parentId, blob ? std::move(*blob) : Bytes{});
        }
        objects.push_back(std::move(o));
    }

    Catalog result;
    std::optional<std::int32_t> tables = containerId(objects, u"Tables");
    std::optional<std::int32_t> databases = containerId(objects, u"Databases");
    for (const Object& o : objects) {
        if (!tables || o.parentId != *tables) continue;
        TableInfo t;
        t.name = toUtf8(o.name);
        t.hidden = o.flags & kHiddenFlag;
        if (o.type == kLocalTable) {
            t.kind = (o.flags & kSystemFlags) ? TableInfo::Kind::System : TableInfo::Kind::User;
            t.firstPage = static_cast<std::uint32_t>(o.id) & 0x00FFFFFF;
        } else if (o.type == kLinkedTable || o.type == kLinkedOdbcTable) {
            t.kind = TableInfo::Kind::Linked;
        } else {
            continue;
        }
        result.tables.push_back(std::move(t));
    }
    for (auto& [parent, blob] : databaseObjects)
        if (databases && parent == *databases) result.databaseProperties = std::move(blob);
    *out = std::move(result);
    return Status::OK();
}

} // namespace jet
