#include "jet/index/index_page.h"

#include <algorithm>
#include <bit>
#include <cassert>
#include <cstring>

#include "jet/util/bytes.h"
#include "jet/util/corrupt.h"
#include "jet/index/entry_list.h"

namespace jet {

using namespace index_page;

namespace {

constexpr std::size_t kMinKeyBytes = 1; // the flag byte of one column

Status corrupt(std::uint32_t pgno, const std::string& what) { return corruptAt(pgno, "index: " + what); }

bool bitSet(const std::uint8_t* bitmap, std::size_t p) { return bitmap[p / 8] & (1u << (p % 8)); }

// The first set bit in [from, limit), else limit.
// REQUIRES: limit <= the bitmap's bits.
std::size_t firstBit(const std::uint8_t* bitmap, std::size_t from, std::size_t limit) {
    for (std::size_t p = from; p < limit;) {
        const unsigned bits = bitmap[p / 8] >> (p % 8);
        if (bits != 0) return std::min(p + static_cast<std::size_t>(std::countr_zero(bits)), limit);
        p = (p / 8 + 1) * 8;
    }
    return limit;
}

// The last set bit: where the last entry ends; 0 when none is set.
std::size_t lastBit(const std::uint8_t* bitmap) {
    for (std::size_t at = kIndexBitmapBytes; at-- > 0;)
        if (bitmap[at] != 0) return at * 8 + 7 - static_cast<std::size_t>(std::countl_zero(bitmap[at]));
    return 0;
}

// Whether the entry made of `head` then `tail` comes before `x` in the
// order of entryLess, without joining the two.
bool lessInTwoParts(ByteSpan head, ByteSpan tail, ByteSpan x) {
    const std::size_t n = std::min(head.size(), x.size());
    if (n > 0) {
        const int c = std::memcmp(head.data(), x.data(), n);
        if (c != 0) return c < 0;
    }
    if (head.size() > x.size()) return false; // x is a beginning of the entry
    return entryLess(tail, x.subspan(head.size()));
}

// Header fields of an index page of the table whose TDEF page is `owner`.
Status readHeader(const Page& page, std::uint32_t pgno, std::uint32_t owner, IndexPage* out) {
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
    *out = std::move(p);
    return Status::OK();
}

Status readEntries(const Page& page, std::uint32_t pgno, IndexPage* header, EntryList* out) {
    const std::uint8_t* bitmap = page.bytes.data() + kIndexBitmapOffset;
    const std::uint8_t* area = page.bytes.data() + kIndexEntriesOffset;
    const std::size_t minEntry = kMinKeyBytes + kRowPointerBytes + (header->isLeaf() ? 0 : kChildPointerBytes);
    Bytes entry; // the entry being read; it starts with the prefix of the first
    std::size_t start = 0;
    constexpr std::size_t kBits = kIndexBitmapBytes * 8;
    for (std::size_t p = firstBit(bitmap, 1, kBits); p < kBits; p = firstBit(bitmap, p + 1, kBits)) {
        if (p > kIndexEntryCapacity) return corrupt(pgno, "bitová mapa ukazuje za koniec stránky");
        const bool first = out->empty();
        const std::size_t prefix = first ? 0 : header->prefixLength;
        if (first && p - start < header->prefixLength)
            return corrupt(pgno, "prvý záznam je kratší ako spoločná predpona");
        entry.resize(prefix);
        entry.insert(entry.end(), area + start, area + p);
        if (entry.size() < minEntry) return corrupt(pgno, "príliš krátky záznam");
        out->pushBack(entry);
        start = p;
    }
    if (bitSet(bitmap, 0)) return corrupt(pgno, "záznam nulovej dĺžky");
    header->usedBytes = start;
    return Status::OK();
}

} // namespace

Status findInIndexPage(const Page& page, std::uint32_t pgno, std::uint32_t owner, ByteSpan x, IndexPage* header,
                       Bytes* at) {
    JET_TRY(readHeader(page, pgno, owner, header));
    const std::uint8_t* bitmap = page.bytes.data() + kIndexBitmapOffset;
    const std::uint8_t* area = page.bytes.data() + kIndexEntriesOffset;
    at->clear();
    if (bitSet(bitmap, 0)) return corrupt(pgno, "záznam nulovej dĺžky");
    const std::size_t used = lastBit(bitmap);
    if (used > kIndexEntryCapacity) return corrupt(pgno, "bitová mapa ukazuje za koniec stránky");
    if (used == 0) return Status::OK();
    const std::size_t prefix = header->prefixLength;
    if (firstBit(bitmap, 1, used + 1) < prefix) return corrupt(pgno, "prvý záznam je kratší ako spoločná predpona");
    const std::size_t minEntry = kMinKeyBytes + kRowPointerBytes + (header->isLeaf() ? 0 : kChildPointerBytes);
    // The entry starting at `start` (0 or where another ends) as it lies:
    // the first entry's first bytes, then its own stored bytes.
    ByteSpan head, tail;
    std::size_t end = 0;
    auto locate = [&](std::size_t start) {
        end = firstBit(bitmap, start + 1, used + 1);
        head = ByteSpan(area, start == 0 ? end : prefix);
        tail = start == 0 ? ByteSpan() : ByteSpan(area + start, end - start);
        if (head.size() + tail.size() < minEntry) return corrupt(pgno, "príliš krátky záznam");
        return Status::OK();
    };
    // Entries starting before `lo` are less than x, those starting at or
    // after `hi` are not.
    std::size_t lo = 0, hi = used;
    while (lo < hi) {
        const std::size_t mid = lo + (hi - lo) / 2;
        const std::size_t start = mid == 0 ? 0 : firstBit(bitmap, mid, used);
        if (start >= hi) {
            hi = mid; // no entry starts in [mid, hi)
            continue;
        }
        JET_TRY(locate(start));
        if (lessInTwoParts(head, tail, x)) lo = end;
        else hi = start;
    }
    const std::size_t found = hi == 0 ? 0 : firstBit(bitmap, hi, used);
    if (found == used) return Status::OK();
    JET_TRY(locate(found));
    at->assign(head.begin(), head.end());
    at->insert(at->end(), tail.begin(), tail.end());
    return Status::OK();
}

Status parseIndexPage(const Page& page, std::uint32_t pgno, std::uint32_t owner, IndexPage* header,
                      EntryList* entries) {
    IndexPage p;
    JET_TRY(readHeader(page, pgno, owner, &p));
    EntryList list;
    JET_TRY(readEntries(page, pgno, &p, &list));
    *header = std::move(p);
    *entries = std::move(list);
    return Status::OK();
}

Status parseIndexPage(const Page& page, std::uint32_t pgno, std::uint32_t owner, IndexPage* out) {
    EntryList entries;
    JET_TRY(parseIndexPage(page, pgno, owner, out, &entries));
    out->entries = entries.toVector();
    return Status::OK();
}

Status buildIndexPage(const IndexPage& header, const EntryList& entries, Page* out) {
    const std::size_t prefix = entries.size() > 1 ? header.prefixLength : 0;
    for (std::size_t i = 1; i < entries.size(); ++i) {
        const ByteSpan e = entries[i];
        if (e.size() <= prefix || !std::equal(e.begin(), e.begin() + prefix, entries.front().begin()))
            return Status::error(Status::Code::InvalidArgument, "Záznamy indexovej stránky nemajú spoločnú predponu");
    }
    if (entries.bytes() - prefix * (entries.empty() ? 0 : entries.size() - 1) > kIndexEntryCapacity)
        return Status::error(Status::Code::TooLarge, "Záznamy sa nezmestia na indexovú stránku");
    out->bytes.fill(0);
    std::uint8_t* b = out->bytes.data();
    b[kPageTypeAt] = header.type;
    b[kPageMarkerAt] = kPageMarker;
    putLe32(b + kOwner, header.owner);
    putLe32(b + kPrevPage, header.prev);
    putLe32(b + kNextPage, header.next);
    putLe32(b + kTailPage, header.tail);
    putLe16(b + kPrefixLength, static_cast<std::uint16_t>(prefix));
    b[kMark] = header.mark;
    std::size_t pos = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const ByteSpan e = entries[i];
        const std::size_t skip = i ? prefix : 0;
        std::memcpy(b + kIndexEntriesOffset + pos, e.data() + skip, e.size() - skip);
        pos += e.size() - skip;
        b[kIndexBitmapOffset + pos / 8] |= static_cast<std::uint8_t>(1u << (pos % 8));
    }
    putLe16(b + kFreeSpace, static_cast<std::uint16_t>(kIndexEntryCapacity - pos));
    return Status::OK();
}

Status buildIndexPage(const IndexPage& page, Page* out) { return buildIndexPage(page, EntryList(page.entries), out); }

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
