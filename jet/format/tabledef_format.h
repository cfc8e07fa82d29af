// Layout of a table definition (TDEF): a chain of pages whose bytes, read
// as one run, hold the definition. The first page gives its first bytes
// whole; each continuation page adds its bytes from kContinuationData on.
//
// The definition: a fixed head, one statistics record per real index, the
// column descriptors, the column names, the real index descriptors, the
// logical index descriptors, their names, and the long-value maps. A name
// is a u16 byte count followed by UCS-2 text.
#pragma once

#include <cstddef>
#include <cstdint>

#include "jet/format/page_format.h"

namespace jet::tdef {

// Every page of the chain.
constexpr std::size_t kNextPage = 4;         // u32: the next page of the chain, 0 = the last
constexpr std::size_t kContinuationData = 8; // where a continuation page's share begins

// The head, offsets from the start of the definition.
constexpr std::size_t kLength = 8;             // u32: bytes of the whole definition
constexpr std::size_t kRowCount = 16;          // u32
constexpr std::size_t kAutonumber = 20;        // u32: the last LONG autonumber handed out
constexpr std::size_t kTableType = 40;         // u8: TableDef::kUserTable or kSystemTable
constexpr std::size_t kMaxColumns = 41;        // u16: columns of new rows
constexpr std::size_t kVarColumns = 43;        // u16: variable columns of new rows
constexpr std::size_t kColumnCount = 45;       // u16
constexpr std::size_t kLogicalIndexCount = 47; // u32
constexpr std::size_t kRealIndexCount = 51;    // u32
constexpr std::size_t kOwnedPages = 55;        // row pointer: usage map of the data pages
constexpr std::size_t kFreePages = 59;         // row pointer: usage map of the pages with room
constexpr std::size_t kIndexStats = 63;        // the statistics records; the head ends here

// Statistics record of a real index.
constexpr std::size_t kIndexStatsSize = 12;
constexpr std::size_t kStatRows = 0;     // u32
constexpr std::size_t kStatDistinct = 4; // u32
constexpr std::size_t kStatReserved = 8; // u32
// Where the statistics of real index `number` start.
constexpr std::size_t indexStatsAt(std::uint32_t number) { return kIndexStats + kIndexStatsSize * number; }

// Column descriptor.
constexpr std::size_t kColumnSize = 25;
constexpr std::size_t kColumnType = 0;         // u8: ColumnType
constexpr std::size_t kColumnNumber = 5;       // u16
constexpr std::size_t kColumnVarSlot = 7;      // u16
constexpr std::size_t kColumnPrecision = 11;   // u8, numeric columns
constexpr std::size_t kColumnScale = 12;       // u8, numeric columns
constexpr std::size_t kColumnSortOrder = 11;   // u16, the other columns
constexpr std::size_t kColumnSortVersion = 14; // u8, the other columns
constexpr std::size_t kColumnFlags = 15;       // u8: ColumnDef::kFixed...
constexpr std::size_t kColumnExtFlags = 16;    // u8: ColumnDef::kCompressedUnicode
constexpr std::size_t kColumnFixedOffset = 21; // u16
constexpr std::size_t kColumnLength = 23;      // u16

// Real index descriptor.
constexpr std::size_t kRealIndexSize = 52;
constexpr std::size_t kRealIndexColumns = 4; // kMaxIndexColumns index column records
constexpr std::size_t kMaxIndexColumns = 10;
constexpr std::size_t kRealIndexUsageMap = 34;  // row pointer: the index's pages
constexpr std::size_t kRealIndexFirstPage = 38; // u32: root of the B-tree
constexpr std::size_t kRealIndexFlags = 46;     // u8: RealIndexDef::kUnique...
// Index column record.
constexpr std::size_t kIndexColumnSize = 3;
constexpr std::size_t kIndexColumnNumber = 0; // u16, kNoColumn when the record is unused
constexpr std::size_t kIndexColumnOrder = 2;  // u8: nonzero ascending

// Logical index descriptor.
constexpr std::size_t kLogicalIndexSize = 28;
constexpr std::size_t kLogicalNumber = 4;          // u32
constexpr std::size_t kLogicalRealIndex = 8;       // u32
constexpr std::size_t kLogicalForeignKeySide = 12; // u8
constexpr std::size_t kLogicalOtherIndex = 13;     // i32
constexpr std::size_t kLogicalOtherTable = 17;     // u32
constexpr std::size_t kLogicalCascadeUpdates = 21; // u8
constexpr std::size_t kLogicalCascadeDeletes = 22; // u8
constexpr std::size_t kLogicalKind = 23;           // u8: LogicalIndexDef::Kind

// Long-value maps: records of a u16 column number followed by the row
// pointers of its owned-pages and free-pages maps, up to a column number
// kNoColumn.
constexpr std::size_t kLongValueColumnSize = 2;
constexpr std::size_t kLongValueMapPointers = 8;
constexpr std::size_t kLongValueOwnedPages = 0;
constexpr std::size_t kLongValueFreePages = 4;

constexpr std::uint16_t kNoColumn = 0xFFFF;
constexpr std::size_t kNameLengthSize = 2;

} // namespace jet::tdef
