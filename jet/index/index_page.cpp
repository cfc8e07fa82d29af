#include "jet/index/index_page.h"

#include <algorithm>
#include <cassert>
#include <cstring>

#include "jet/util/bytes.h"
#include "jet/util/corrupt.h"

namespace jet {

using namespace index_page;

namespace {

constexpr std::size_t kMinKeyBytes = 1; // the flag byte of one column

Status corrupt(std::uint32_t pgno, const std::string& what) { return corruptAt(pgno, "index: " + what); }

bool bitSet(const std::uint8_t* bitmap, std::size_t p) { return bitmap[p / 8] & (1u << (p % 8)); }

Status readEntries(const Page& page, std::uint32_t pgno, IndexPage* out) {
    const std::uint8_t* bitmap = page.bytes.data() + kIndexBitmapOffset;
    const std::uint8_t* area = page.bytes.data() + kIndexEntriesOffset;
    const std::size_t minEntry = kMinKeyBytes + kRowPointerBytes + (out->isLeaf() ? 0 : kChildPointerBytes);
    std::size_t start = 0;
    for (std::size_t p = 1; p < kIndexBitmapBytes * 8; ++p) {
        if (!bitSet(bitmap, p)) continue;
        if (p > kIndexEntryCapacity) return corrupt(pgno, "bitová mapa ukazuje za koniec stránky");
        const bool first = out->entries.empty();
        const std::size_t prefix = first ? 0 : out->prefixLength;
        if (first && p - start < out->prefixLength) return corrupt(pgno, "prvý záznam je kratší ako spoločná predpona");
        Bytes entry(prefix + (p - start));
        if (prefix) std::memcpy(entry.data(), out->entries.front().data(), prefix);
        std::memcpy(entry.data() + prefix, area + start, p - start);
        if (entry.size() < minEntry) return corrupt(pgno, "príliš krátky záznam");
        out->entries.push_back(std::move(entry));
        start = p;
    }
    if (bitSet(bitmap, 0)) return corrupt(pgno, "záznam nulovej dĺžky");
    out->usedBytes = start;
    return Status::OK();
}

} // namespace

Status parseIndexPage(const Page& page, std::uint32_t pgno, std::uint32_t owner, IndexPage* out) {
    const std::uint8_t* b = page.bytes.data();
    IndexPage p;
    p.type = b[kPageTypeAt];
    if ((p.type != kIndexLeafPage && p.type != kIndexNodePage) || b[kPageMarkerAt] != kPageMarker)
        return corrupt(pgno, "nie je to indexová stránka");
    p.freeSpace = le16(b + kFreeSpace);
    p.owner = le32(b + kOwner);
    if (p.owner != owner) return corrupt(pgno, "stránka patrí inej tabuľke (" + std::to_string(p.owner) + ")");
    p.prev = le32(b + kPrevPage);
    p.next = le32(b + kNextPage);
    p.tail = le32(b + kTailPage);
    p.prefixLength = le16(b + kPrefixLength);
    p.mark = b[kMark];
    JET_TRY(readEntries(page, pgno, &p));
    *out = std::move(p);
    return Status::OK();
}

std::size_t storedSize(std::span<const Bytes> entries, std::size_t prefix) {
    std::size_t n = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) n += entries[i].size() - (i ? prefix : 0);
    return n;
}

Status buildIndexPage(const IndexPage& page, Page* out) {
    const std::size_t prefix = page.entries.size() > 1 ? page.prefixLength : 0;
    for (std::size_t i = 1; i < page.entries.size(); ++i) {
        const Bytes& e = page.entries[i];
        if (e.size() <= prefix || !std::equal(e.begin(), e.begin() + prefix, page.entries.front().begin()))
            return Status::error(Status::Code::InvalidArgument, "Záznamy indexovej stránky nemajú spoločnú predponu");
    }
    if (storedSize(page.entries, prefix) > kIndexEntryCapacity)
        return Status::error(Status::Code::TooLarge, "Záznamy sa nezmestia na indexovú stránku");
    out->bytes.fill(0);
    std::uint8_t* b = out->bytes.data();
    b[kPageTypeAt] = page.type;
    b[kPageMarkerAt] = kPageMarker;
    putLe32(b + kOwner, page.owner);
    putLe32(b + kPrevPage, page.prev);
    putLe32(b + kNextPage, page.next);
    putLe32(b + kTailPage, page.tail);
    putLe16(b + kPrefixLength, static_cast<std::uint16_t>(prefix));
    b[kMark] = page.mark;
    std::size_t pos = 0;
    for (std::size_t i = 0; i < page.entries.size(); ++i) {
        const Bytes& e = page.entries[i];
        const std::size_t skip = i ? prefix : 0;
        std::memcpy(b + kIndexEntriesOffset + pos, e.data() + skip, e.size() - skip);
        pos += e.size() - skip;
        b[kIndexBitmapOffset + pos / 8] |= static_cast<std::uint8_t>(1u << (pos % 8));
    }
    putLe16(b + kFreeSpace, static_cast<std::uint16_t>(kIndexEntryCapacity - pos));
    return Status::OK();
}

std::span<const std::uint8_t> leafKey(ByteSpan e) {
    assert(e.size() > kRowPointerBytes);
    return e.first(e.size() - kRowPointerBytes);
}

RowPointer leafRow(ByteSpan e) {
    assert(e.size() > kRowPointerBytes);
    const auto ptr = e.last(kRowPointerBytes);
    return {static_cast<std::uint32_t>(beValue(ptr.first(3))), ptr[3]};
}

std::span<const std::uint8_t> nodeLeafEntry(ByteSpan e) {
    assert(e.size() > kChildPointerBytes);
    return e.first(e.size() - kChildPointerBytes);
}

std::uint32_t nodeChild(ByteSpan e) {
    assert(e.size() > kChildPointerBytes);
    return static_cast<std::uint32_t>(beValue(e.last(kChildPointerBytes)));
}

void appendRowPointer(Bytes* entry, RowPointer row) {
    appendBe(entry, row.page, 3);
    entry->push_back(row.row);
}

Bytes makeLeafEntry(std::span<const std::uint8_t> key, RowPointer row) {
    Bytes e(key.begin(), key.end());
    appendRowPointer(&e, row);
    return e;
}

Bytes makeNodeEntry(std::span<const std::uint8_t> leafEntry, std::uint32_t child) {
    Bytes e(leafEntry.begin(), leafEntry.end());
    appendBe(&e, child, 4);
    return e;
}

} // namespace jet
