#include "jet/table/table_writer.h"

#include <algorithm>

#include "jet/util/bytes.h"
#include "jet/util/corrupt.h"
#include "jet/format/data_page.h"
#include "jet/format/data_page_writer.h"
#include "jet/table/longvalue.h"
#include "jet/format/page_alloc.h"
#include "jet/format/tabledef_format.h"
#include "jet/index/textkey.h"
#include "jet/format/usage_map.h"
#include "jet/table/value_encoder.h"

namespace jet {
namespace {

using Code = Status::Code;

Status refuse(const std::string& why) { return Status::error(Code::Refused, why); }

// Memory the index entries waiting for their trees may take, all indexes
// of a table together.
constexpr std::size_t kBatchBudget = 48u << 20;

Status columnWritable(const TableDef& def, const ColumnDef& c) {
    const std::string where = "Do tabuľky nemožno pridávať riadky: stĺpec " + c.name;
    if (c.type == ColumnType::Bool) return Status::OK();
    // A fixed column must be stored at its type's size, inside the row.
    if (!encodable(c.type) || (c.isFixed() && (fixedSize(c.type) == 0 || c.length != fixedSize(c.type) ||
                                               c.fixedOffset + c.length > kMaxRowLength)))
        return Status::error(Code::Unsupported, where + " má typ, ktorý nevieme zapisovať.");
    if (!c.isFixed() && c.varSlot >= def.varColumns)
        return Status::error(Code::Corrupt, where + " leží mimo tabuľky premenlivých stĺpcov.");
    if (c.number >= def.maxColumns) return Status::error(Code::Corrupt, where + " má číslo mimo masky.");
    return Status::OK();
}

} // namespace

Status checkAppendable(const TableDef& def) {
    for (const ColumnDef& c : def.columns) JET_TRY(columnWritable(def, c));
    for (const RealIndexDef& ix : def.realIndexes) {
        std::vector<KeyColumn> columns;
        JET_TRY(keyColumnsOf(def, ix, &columns));
        for (const KeyColumn& k : columns) {
            const bool text = k.type == ColumnType::Text || k.type == ColumnType::Memo;
            if (text && !isGeneralSortOrder(k.sortOrder, k.sortVersion))
                return Status::error(Code::Unsupported, "Do tabuľky nemožno pridávať riadky: index " +
                                                            def.indexName(ix) +
                                                            " triedi text v poradí, ktoré nepoznáme.");
            if (k.type == ColumnType::Ole)
                return Status::error(Code::Unsupported, "Do tabuľky nemožno pridávať riadky: index " +
                                                            def.indexName(ix) +
                                                            " má stĺpec, z ktorého nevieme vytvoriť kľúč.");
        }
    }
    return Status::OK();
}

Status readCounters(Pager& pager, TableDef* def) {
    PageRef ref;
    JET_TRY(pager.read(def->firstPage, &ref));
    const ByteSpan page(ref->bytes);
    auto counter = [&](std::size_t at, std::uint32_t* out) {
        if (fits(page, at, 4)) *out = le32(&page[at]);
    };
    counter(tdef::kRowCount, &def->rowCount);
    counter(tdef::kAutonumber, &def->autonumber);
    for (RealIndexDef& ix : def->realIndexes)
        counter(tdef::indexStatsAt(ix.number) + tdef::kStatDistinct, &ix.statDistinct);
    return Status::OK();
}

TableWriter::TableWriter(Pager& pager, std::shared_ptr<TableDef> def)
    : pager_(&pager), sharedDef_(std::move(def)), def_(*sharedDef_), layout_(def_), random_(std::random_device{}()) {}

Status TableWriter::open(Pager& pager, std::shared_ptr<TableDef> def, std::unique_ptr<TableWriter>* out) {
    JET_TRY(checkAppendable(*def));
    JET_TRY(readCounters(pager, def.get()));
    std::unique_ptr<TableWriter> w(new TableWriter(pager, std::move(def)));
    JET_TRY(w->prepare());
    *out = std::move(w);
    return Status::OK();
}

Status TableWriter::prepare() {
    const std::size_t n = def_.columns.size();
    JET_TRY(readColumnRules(*pager_, def_, &rules_));
    fields_.resize(n);
    inline_.resize(n);
    fixed_.resize(layout_.fixedArea());
    longValues_.resize(n);
    for (std::size_t i = 0; i < n; ++i) {
        const ColumnDef& c = def_.columns[i];
        if (c.isAutonumber() && c.type == ColumnType::Long) autonumbered_.push_back(i);
        if (!c.isLongValue()) continue;
        longValues_[i] = std::make_unique<LongValueWriter>(*pager_, def_.longValueMapsOf(c.number));
        longColumns_.push_back(i);
    }
    for (RealIndexDef& ix : def_.realIndexes) {
        Index index;
        index.def = &ix;
        JET_TRY(keyColumnsOf(def_, ix, &index.columns));
        const bool primary = def_.isPrimaryKey(ix);
        index.unique = primary || ix.isUnique();
        index.required = primary || ix.isRequired();
        index.tree = std::make_unique<IndexTree>(*pager_, def_.firstPage, ix.firstPage, ix.usageMap);
        index.batch = std::make_unique<EntryBatch>(index.unique);
        if (index.unique) index.taken = std::make_unique<TakenKeys>(*index.tree, *index.batch, def_.rowCount);
        indexes_.push_back(std::move(index));
    }
    return Status::OK();
}

// Values left out where they may be, AutoNumber values, yes/no defaults,
// checks and the stored bytes of every value: fixed ones in the fixed area,
// the others in their fields (long values still unplaced), whose bytes
// *variable sums (each long value by its reference). Each value is brought
// to its column's kind once.
Status TableWriter::prepareValues(std::vector<Value>& row, const std::vector<bool>* emptiable,
                                  std::vector<std::size_t>* emptied, std::size_t* variable) {
    if (row.size() != def_.columns.size())
        return Status::error(Code::InvalidArgument, "Počet hodnôt riadka nezodpovedá počtu stĺpcov tabuľky " +
                                                        std::to_string(def_.columns.size()) + ".");
    if (emptied) emptied->clear();
    std::fill(fixed_.begin(), fixed_.end(), 0);
    *variable = 0;
    const std::size_t flagged = emptiable ? std::min(emptiable->size(), row.size()) : 0;
    for (std::size_t i = 0; i < row.size(); ++i) {
        const ColumnDef& c = def_.columns[i];
        Value& v = row[i];
        bool normalized = false;
        if (i < flagged && (*emptiable)[i] && !isNull(v)) {
            normalized = normalizeValue(c, &v).ok();
            if (!normalized) {
                v = Value{};
                emptied->push_back(i);
            }
        }
        if (c.isAutonumber() && c.type == ColumnType::Long) {
            if (def_.autonumber >= INT32_MAX) return refuse("Stĺpec " + c.name + ": automatické čísla sú vyčerpané.");
            v = static_cast<std::int64_t>(def_.autonumber) + 1;
            normalized = false;
        } else if (c.isGuidAutonumber() && c.type == ColumnType::Guid && isNull(v)) {
            Guid g;
            for (auto& b : g.bytes) b = static_cast<std::uint8_t>(random_());
            g.bytes[7] = static_cast<std::uint8_t>((g.bytes[7] & 0x0F) | 0x40); // version 4
            g.bytes[8] = static_cast<std::uint8_t>((g.bytes[8] & 0x3F) | 0x80);
            v = g;
        } else if (c.type == ColumnType::Bool && isNull(v)) {
            v = false;
        }
        if (!normalized) JET_TRY(normalizeValue(c, &v));
        if (rules_[i].required && isNull(v)) return refuse("Stĺpec " + c.name + ": chýba povinná hodnota.");
        if (!rules_[i].allowZeroLength) {
            const auto* text = std::get_if<std::u16string>(&v);
            if (text && text->empty()) return refuse("Stĺpec " + c.name + ": prázdny text nie je dovolený.");
        }
        if (isNull(v) || c.type == ColumnType::Bool) continue;
        if (c.isFixed()) {
            encodeFixed(c, v, &fixed_[c.fixedOffset]);
            continue;
        }
        fields_[i].clear();
        encodeValue(c, v, &fields_[i]);
        *variable += c.isLongValue() ? kLongValueHeader : fields_[i].size();
    }
    return Status::OK();
}

// Decides which long values stay in the row and returns the row's length.
Status TableWriter::placeLongValues(const std::vector<Value>& row, std::size_t variable, std::size_t* length) {
    for (std::size_t i : longColumns_) {
        inline_[i] = false;
        if (isNull(row[i]) || fields_[i].size() > kMaxInlineLongValue) continue;
        if (layout_.rowLength(variable + fields_[i].size()) > kMaxRowLength) continue;
        inline_[i] = true;
        variable += fields_[i].size();
    }
    *length = layout_.rowLength(variable);
    if (*length > kMaxRowLength) return refuse("Riadok je dlhší ako " + std::to_string(kMaxRowLength) + " bajtov.");
    return Status::OK();
}

// Builds every index key and refuses the row when an index does not take it.
Status TableWriter::checkIndexes(const std::vector<Value>& row) {
    for (Index& ix : indexes_) {
        const bool anyNull = anyKeyValueNull(ix.columns, row);
        // Named only for a refusal: most rows are taken.
        auto name = [&] { return def_.indexName(*ix.def); };
        ix.skip = ix.def->ignoresNulls() && allKeyValuesNull(ix.columns, row);
        ix.tested = false;
        if (ix.skip) continue;
        if (ix.required && anyNull) return refuse("Chýba povinná hodnota kľúča indexu " + name() + ".");
        Status s = encodeKey(ix.columns, row, &ix.key);
        if (s.code() == Code::Unsupported)
            return refuse("Text v indexe " + name() + " obsahuje znak, ktorý nevieme zoradiť.");
        JET_TRY(s);
        if (ix.key.size() + kRowPointerBytes > kMaxIndexEntry)
            return refuse("Kľúč indexu " + name() + " je príliš dlhý.");
        if (!ix.unique) continue;
        ix.hash = hashKey(ix.key);
        if (anyNull) continue;
        bool found = false;
        JET_TRY(ix.taken->find(ix.key, ix.hash, &found));
        if (found) return refuse("Hodnota kľúča sa v jedinečnom indexe " + name() + " už nachádza.");
        ix.tested = true;
    }
    return Status::OK();
}

Status TableWriter::storeLongValues(const std::vector<Value>& row) {
    for (std::size_t i : longColumns_) {
        if (isNull(row[i])) continue;
        if (inline_[i]) inlineLongValue(fields_[i], &reference_);
        else JET_TRY(longValues_[i]->store(fields_[i], &reference_));
        fields_[i].swap(reference_);
    }
    return Status::OK();
}

// Takes up the last page of the table listed as having room.
Status TableWriter::startPage() {
    std::vector<std::uint32_t> free, owned;
    JET_TRY(readUsageMap(*pager_, def_.freePages, &free));
    JET_TRY(readUsageMap(*pager_, def_.ownedPages, &owned));
    for (auto it = free.rbegin(); it != free.rend(); ++it) {
        if (!std::binary_search(owned.begin(), owned.end(), *it)) continue;
        PageRef ref;
        JET_TRY(pager_->read(*it, &ref));
        DataPage page;
        if (!DataPage::open(ref, *it, &page).ok() || page.owner() != def_.firstPage) continue;
        page_.adopt(*ref, *it);
        return Status::OK();
    }
    return Status::OK();
}

Status TableWriter::placeRow(RowPointer* where) {
    if (page_.pgno() == 0) JET_TRY(startPage());
    if (page_.pgno() == 0 || !page_.fits(row_.size())) {
        if (page_.pgno() != 0) {
            JET_TRY(page_.write(*pager_));
            JET_TRY(setMapMember(*pager_, def_.freePages, page_.pgno(), false));
        }
        page_.start(def_.firstPage);
        std::uint32_t pgno = 0;
        JET_TRY(allocatePage(*pager_, page_.page(), &pgno));
        page_.numbered(pgno);
        JET_TRY(setMapMember(*pager_, def_.ownedPages, pgno, true));
        JET_TRY(setMapMember(*pager_, def_.freePages, pgno, true));
    }
    where->page = page_.pgno();
    where->row = page_.add(row_);
    return Status::OK();
}

Status TableWriter::append(std::vector<Value>* row, const std::vector<bool>* emptiable,
                           std::vector<std::size_t>* emptied) {
    std::size_t variable = 0, length = 0;
    JET_TRY(prepareValues(*row, emptiable, emptied, &variable));
    JET_TRY(placeLongValues(*row, variable, &length));
    JET_TRY(checkIndexes(*row));
    // Nothing has been written so far; from here on a failure is the file's.
    JET_TRY(storeLongValues(*row));
    layout_.build(*row, fixed_, fields_, &row_);
    RowPointer where;
    JET_TRY(placeRow(&where));
    std::size_t batched = 0;
    for (Index& ix : indexes_) {
        if (!ix.skip) {
            if (ix.taken) ix.taken->added(ix.hash);
            appendRowPointer(&ix.key, where); // the key is built afresh for the next row
            ix.batch->add(ix.key, ix.hash, ix.tested);
        }
        batched += ix.batch->bytes();
    }
    if (batched > kBatchBudget) JET_TRY(insertBatches());
    for (std::size_t i : autonumbered_) def_.autonumber = static_cast<std::uint32_t>(std::get<std::int64_t>((*row)[i]));
    ++def_.rowCount;
    countersDirty_ = true;
    return Status::OK();
}

// The batches go to their trees before they hold more than the budget: each
// is given room for its share of it at most.
void TableWriter::expect(std::size_t rows) {
    if (indexes_.empty()) return;
    const std::size_t share = kBatchBudget / indexes_.size();
    const std::size_t entries = std::min(rows, share / EntryBatch::kLeastEntryBytes);
    for (Index& ix : indexes_) {
        ix.batch->reserve(entries, share);
        if (ix.taken) ix.taken->expect(entries);
    }
}

// Each index's batch goes into its tree in the tree's order: a leaf once
// left is not visited again, and entries past the last key fill new leaves.
Status TableWriter::insertBatches() {
    for (Index& ix : indexes_) {
        if (ix.batch->empty()) continue;
        const std::span<const ByteSpan> sorted = ix.batch->sorted();
        for (std::size_t at = 0; at < sorted.size();) {
            std::size_t taken = 0, newKeys = 0;
            JET_TRY(ix.tree->insertRun(sorted.subspan(at), &taken, &newKeys));
            ix.def->statDistinct += static_cast<std::uint32_t>(newKeys);
            at += taken;
        }
        ix.batch->clear();
    }
    return Status::OK();
}

Status TableWriter::release() {
    JET_TRY(insertBatches());
    for (Index& ix : indexes_) JET_TRY(ix.tree->release());
    return Status::OK();
}

Status TableWriter::flush() {
    JET_TRY(insertBatches());
    JET_TRY(page_.write(*pager_));
    for (auto& lv : longValues_)
        if (lv) JET_TRY(lv->flush());
    for (Index& ix : indexes_) JET_TRY(ix.tree->flush());
    if (!countersDirty_) return Status::OK();
    PageRef ref;
    JET_TRY(pager_->read(def_.firstPage, &ref));
    Page tdef = *ref;
    ref.reset(); // let the pager change its buffer in place
    putLe32(&tdef.bytes[tdef::kRowCount], def_.rowCount);
    putLe32(&tdef.bytes[tdef::kAutonumber], def_.autonumber);
    for (const RealIndexDef& ix : def_.realIndexes)
        putLe32(&tdef.bytes[tdef::indexStatsAt(ix.number) + tdef::kStatDistinct], ix.statDistinct);
    JET_TRY(pager_->write(def_.firstPage, tdef));
    countersDirty_ = false;
    return Status::OK();
}

} // namespace jet
