// The definition of one table as stored in its TDEF page chain: columns,
// real (physical) and logical indexes, and the usage maps that locate the
// table's pages.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "jet/io/pager.h"
#include "jet/format/row_pointer.h"
#include "jet/status.h"
#include "jet/value.h"

namespace jet {

struct ColumnDef {
    // Column flags (descriptor byte 15).
    static constexpr std::uint8_t kFixed = 0x01;
    static constexpr std::uint8_t kUpdatable = 0x02;
    static constexpr std::uint8_t kAutonumber = 0x04;
    static constexpr std::uint8_t kGuidAutonumber = 0x40;
    static constexpr std::uint8_t kHyperlink = 0x80;
    // Extended flags (descriptor byte 16).
    static constexpr std::uint8_t kCompressedUnicode = 0x01;

    std::string name;                     // UTF-8
    ColumnType type = ColumnType::Binary; // the stored code, possibly outside the enum
    std::uint16_t number = 0;             // null-mask bit; what indexes refer to
    std::uint16_t varSlot = 0;            // variable columns: slot in the row's offset table
    std::uint16_t fixedOffset = 0;        // fixed columns: offset in the fixed area
    std::uint16_t length = 0;             // bytes (text: 2 x characters; memo/ole: 0)
    std::uint8_t flags = 0;
    std::uint8_t extFlags = 0;
    std::uint16_t sortOrder = 0;           // text and memo: collation LCID (0x0409 General)
    std::uint8_t sortVersion = 0;          // text and memo
    std::uint8_t precision = 0, scale = 0; // numeric
    std::uint32_t descriptorOffset = 0;    // where the descriptor sits in the definition

    bool isFixed() const { return flags & kFixed; }
    bool isAutonumber() const { return flags & kAutonumber; }
    bool isGuidAutonumber() const { return flags & kGuidAutonumber; }
    bool isCompressedUnicode() const { return extFlags & kCompressedUnicode; }
    bool isLongValue() const { return type == ColumnType::Memo || type == ColumnType::Ole; }
};

struct IndexColumn {
    std::uint16_t column = 0; // column number (ColumnDef::number)
    bool ascending = true;
};

// One B-tree.
struct RealIndexDef {
    static constexpr std::uint8_t kUnique = 0x01;
    static constexpr std::uint8_t kIgnoreNulls = 0x02;
    static constexpr std::uint8_t kRequired = 0x08;

    std::uint32_t number = 0;         // position among the real indexes
    std::vector<IndexColumn> columns; // in key order
    RowPointer usageMap;              // the index's pages
    std::uint32_t firstPage = 0;      // root of the B-tree
    std::uint8_t flags = 0;
    // Statistics record (tdef::indexStatsAt(number)).
    std::uint32_t statRows = 0;     // 0 or a row count
    std::uint32_t statDistinct = 0; // roughly the distinct keys; stale in Access files
    std::uint32_t statReserved = 0;
    std::uint32_t descriptorOffset = 0;

    bool isUnique() const { return flags & kUnique; }
    bool ignoresNulls() const { return flags & kIgnoreNulls; }
    bool isRequired() const { return flags & kRequired; }
};

// A named index as users see it; its entries live in a real index.
struct LogicalIndexDef {
    enum class Kind : std::uint8_t { Normal = 0, PrimaryKey = 1, ForeignKey = 2 };

    std::string name; // UTF-8
    std::uint32_t number = 0;
    std::uint32_t realIndex = 0;     // RealIndexDef::number
    std::uint8_t foreignKeySide = 0; // 1 referenced table, 2 referencing table
    std::int32_t otherIndex = -1;    // index number in the other table, -1 = none
    std::uint32_t otherTable = 0;    // TDEF page of the other table
    std::uint8_t cascadeUpdates = 0;
    std::uint8_t cascadeDeletes = 0;
    Kind kind = Kind::Normal;
    std::uint32_t descriptorOffset = 0;

    bool isPrimaryKey() const { return kind == Kind::PrimaryKey; }
};

// The pair of maps of one memo or OLE column.
struct LongValueMaps {
    std::uint16_t column = 0; // column number
    RowPointer ownedPages;
    RowPointer freePages;
};

struct TableDef {
    static constexpr std::uint8_t kUserTable = 0x4E;
    static constexpr std::uint8_t kSystemTable = 0x53;

    std::uint32_t firstPage = 0;      // the TDEF page; owner of the data pages
    std::vector<std::uint32_t> pages; // the chain, first page first
    std::uint32_t length = 0;         // bytes of the definition
    std::uint32_t rowCount = 0;
    std::uint32_t autonumber = 0; // last LONG autonumber handed out
    std::uint8_t tableType = 0;
    std::uint16_t maxColumns = 0;   // column count of new rows; sizes the null mask
    std::uint16_t varColumns = 0;   // variable slots of new rows
    RowPointer ownedPages;          // data pages
    RowPointer freePages;           // data pages with room
    std::vector<ColumnDef> columns; // in stored (display) order
    std::vector<RealIndexDef> realIndexes;
    std::vector<LogicalIndexDef> logicalIndexes;
    std::vector<LongValueMaps> longValueMaps;

    // Column by name, ignoring letter case; nullptr when absent.
    const ColumnDef* column(std::string_view name) const;
    // Column by its number; nullptr when absent (deleted).
    const ColumnDef* columnByNumber(std::uint16_t number) const;
    const LongValueMaps* longValueMapsOf(std::uint16_t column) const;
    // What users call a real index: the names of its logical indexes joined
    // by '/', or "#number" when it has none.
    std::string indexName(const RealIndexDef& index) const;
    // True when one of the index's logical indexes is the primary key.
    bool isPrimaryKey(const RealIndexDef& index) const;
};

// Bytes a value of a fixed-size type takes in a row; 0 for the types whose
// length the column descriptor gives (text, binary, long values) and for
// Bool, which lives in the null mask.
inline std::size_t fixedSize(ColumnType type) {
    switch (type) {
    case ColumnType::Byte: return 1;
    case ColumnType::Int: return 2;
    case ColumnType::Long:
    case ColumnType::Single:
    case ColumnType::Complex: return 4;
    case ColumnType::Currency:
    case ColumnType::Double:
    case ColumnType::DateTime:
    case ColumnType::BigInt: return 8;
    case ColumnType::Guid: return 16;
    case ColumnType::Numeric: return 17;
    default: return 0;
    }
}

// Parses a whole definition (the first page followed by bytes 8.. of each
// continuation page). `firstPage` only names the table in messages.
Status parseTableDef(std::span<const std::uint8_t> definition, std::uint32_t firstPage, TableDef* out);

// Reads the TDEF chain starting at `page` and parses it.
Status readTableDef(Pager& pager, std::uint32_t page, TableDef* out);

} // namespace jet
