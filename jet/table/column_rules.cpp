#include "jet/table/column_rules.h"

#include "jet/table/catalog.h"
#include "jet/table/properties.h"
#include "jet/table/table_impl.h"
#include "jet/text.h"

namespace jet {
namespace {

constexpr std::int64_t kLocalTable = 1;
constexpr std::uint32_t kPageBits = 0x00FFFFFF;

// The property blob of the catalogue row of the table whose TDEF page is
// `tdefPage`; empty when it has none.
Status tableProperties(Pager& pager, std::uint32_t tdefPage, Bytes* out) {
    out->clear();
    TableDef catalog;
    JET_TRY(readTableDef(pager, kCatalogPage, &catalog));
    const ColumnDef* id = catalog.column("Id");
    const ColumnDef* type = catalog.column("Type");
    const ColumnDef* props = catalog.column("LvProp");
    if (!id || !type || !props) return Status::OK();
    TableImpl table(pager, "MSysObjects", catalog);
    TableScan cursor(table, false);
    Value v;
    for (;;) {
        bool has = false;
        JET_TRY(cursor.next(&has));
        if (!has) return Status::OK();
        JET_TRY(cursor.view().read(*type, pager, &v));
        const auto* t = std::get_if<std::int64_t>(&v);
        if (!t || *t != kLocalTable) continue;
        JET_TRY(cursor.view().read(*id, pager, &v));
        const auto* i = std::get_if<std::int64_t>(&v);
        if (!i || (static_cast<std::uint32_t>(*i) & kPageBits) != tdefPage) continue;
        JET_TRY(cursor.view().read(*props, pager, &v));
        if (auto* blob = std::get_if<Bytes>(&v)) *out = std::move(*blob);
        return Status::OK();
    }
}

void applyProperty(const Property& p, ColumnRules* rules) {
    const auto* on = std::get_if<bool>(&p.value);
    if (!on) return;
    if (equalsIgnoreCase(p.name, "Required")) rules->required = *on;
    if (equalsIgnoreCase(p.name, "AllowZeroLength")) rules->allowZeroLength = *on;
}

} // namespace

Status readColumnRules(Pager& pager, const TableDef& def, std::vector<ColumnRules>* out) {
    out->assign(def.columns.size(), ColumnRules{});
    Bytes blob;
    JET_TRY(tableProperties(pager, def.firstPage, &blob));
    if (blob.empty()) return Status::OK();
    std::vector<Property> props;
    for (std::size_t i = 0; i < def.columns.size(); ++i) {
        JET_TRY(parseProperties(blob, def.columns[i].name, &props));
        for (const Property& p : props) applyProperty(p, &(*out)[i]);
    }
    return Status::OK();
}

} // namespace jet
