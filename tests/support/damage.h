// Damage at exact fields of sample.mdb, laid in the fuzzers' patch format,
// and what the engine says when it reads the result whole.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "jet/db/database_impl.h"
#include "jet/format/data_page.h"
#include "jet/format/usage_map.h"
#include "support/files.h"
#include "tests/fuzz/fuzz_inputs.h"

namespace damage {

using namespace jet;

// `bytes` laid at `offset` of page `page`.
struct Patch {
    std::uint32_t page = 0;
    std::size_t offset = 0;
    Bytes bytes;
};

inline Bytes le(std::uint64_t value, int width) {
    Bytes b;
    appendLe(&b, value, width);
    return b;
}

// Every failure of opening, dumping and checking sample.mdb with `patches`
// laid over it, and every problem the check finds, one a line.
inline std::string verdict(const std::vector<Patch>& patches) {
    Bytes in{1}; // odd: sample.mdb
    for (const Patch& p : patches)
        for (std::size_t done = 0; done < p.bytes.size(); done += 255) {
            const std::size_t n = std::min<std::size_t>(255, p.bytes.size() - done);
            appendLe(&in, p.page, 2);
            appendLe(&in, p.offset + done, 2);
            in.push_back(static_cast<std::uint8_t>(n));
            in.insert(in.end(), p.bytes.begin() + done, p.bytes.begin() + done + n);
        }
    const Bytes file = fuzz::applyPatches(VELMORANT_TEST_DATA, in.data(), in.size());
    const fuzz::Outcome out = fuzz::readWhole(file.data(), file.size());
    std::string said;
    for (const Status* s : {&out.open, &out.dump, &out.check})
        if (!s->ok()) said += s->message() + "\n";
    for (const std::string& p : out.report.problems) said += p + "\n";
    return said;
}

// The last value of a little-endian field that a check lets through and
// the first it refuses with the words `refusal`; `also` lies under both.
struct Bound {
    const char* what;
    std::uint32_t page;
    std::size_t offset;
    int width;
    std::uint64_t good, bad;
    std::string refusal;
    std::vector<Patch> also = {};
};

inline void expectBounds(const std::vector<Bound>& bounds) {
    for (const Bound& b : bounds) {
        SCOPED_TRACE(b.what);
        auto with = [&b](std::uint64_t value) {
            std::vector<Patch> patches = b.also;
            patches.push_back({b.page, b.offset, le(value, b.width)});
            return verdict(patches);
        };
        const std::string good = with(b.good), bad = with(b.bad);
        EXPECT_EQ(good.find(b.refusal), std::string::npos) << good;
        EXPECT_NE(bad.find(b.refusal), std::string::npos) << bad;
    }
}

// A database read to find where its records lie: the pristine sample.mdb
// unless another file is opened.
class Sample {
public:
    Sample() { open(test_files::testData("sample.mdb")); }
    void open(const std::filesystem::path& file) {
        close();
        EXPECT_TRUE(Database::open(test_files::utf8(file), OpenMode::ReadOnly, &db_).ok()) << file;
    }
    void close() {
        ref_.reset();
        db_.reset();
    }
    Pager& pager() { return impl(*db_).pager(); }
    std::uint32_t last() { return pager().pageCount() - 1; }
    // Valid until the next call.
    const Page& page(std::uint32_t pgno) {
        EXPECT_TRUE(pager().read(pgno, &ref_).ok());
        return *ref_;
    }
    std::uint16_t u16(std::uint32_t pgno, std::size_t at) { return le16(&page(pgno).bytes[at]); }
    std::uint32_t u32(std::uint32_t pgno, std::size_t at) { return le32(&page(pgno).bytes[at]); }
    TableDef def(const std::string& table) {
        std::unique_ptr<Table> t;
        EXPECT_TRUE(db_->openTable(table, &t).ok()) << table;
        return t ? impl(*t).def() : TableDef{};
    }
    std::vector<std::uint32_t> map(RowPointer where) {
        std::vector<std::uint32_t> pages;
        EXPECT_TRUE(readUsageMap(pager(), where, &pages).ok());
        return pages;
    }
    // The bounds of a row, live or not.
    RowSlot slot(RowPointer row) {
        DataPage dp;
        RowSlot s;
        EXPECT_TRUE(DataPage::open(std::make_shared<Page>(page(row.page)), row.page, &dp).ok());
        EXPECT_TRUE(dp.anySlot(row.row, "", &s).ok());
        return s;
    }

private:
    std::unique_ptr<Database> db_;
    PageRef ref_;
};

// A row pointer as stored.
inline std::uint32_t at(std::uint32_t page, std::size_t row = 0) {
    return RowPointer{page, static_cast<std::uint8_t>(row)}.encode();
}

} // namespace damage
