// A memo whose chain runs through very many tiny LVAL rows is read in time
// proportional to its length, and a chain that turns back on itself is
// damage, however long it is.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "jet/util/bytes.h"
#include "jet/format/data_page.h"
#include "support/fault_file_layer.h"
#include "jet/table/longvalue.h"

namespace hostile {
namespace {

constexpr std::uint32_t kFirstChainPage = 2;
constexpr std::uint32_t kRowsPerPage = 256; // all a row pointer can address
constexpr std::uint32_t kRowSize = 5;       // next pointer and one byte of the value

void put16(std::uint8_t* at, std::uint16_t v) {
    at[0] = static_cast<std::uint8_t>(v);
    at[1] = static_cast<std::uint8_t>(v >> 8);
}
void put32(std::uint8_t* at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Two pages that are never read, then `pages` LVAL pages whose rows form one
// chain, each row holding one byte of the value (its row number). The last
// row points to `lastNext`.
std::vector<std::uint8_t> chainFile(std::uint32_t pages, std::uint32_t lastNext) {
    std::vector<std::uint8_t> file((kFirstChainPage + pages) * jet::kPageSize, 0);
    for (std::uint32_t p = 0; p < pages; ++p) {
        std::uint32_t pgno = kFirstChainPage + p;
        std::uint8_t* page = &file[pgno * jet::kPageSize];
        page[0] = 0x01;
        page[1] = 0x01;
        put32(page + 4, jet::kLvalOwner);
        put16(page + 12, kRowsPerPage);
        for (std::uint32_t r = 0; r < kRowsPerPage; ++r) {
            std::uint16_t start = static_cast<std::uint16_t>(jet::kPageSize - kRowSize * (r + 1));
            put16(page + 14 + 2 * r, start);
            bool last = p + 1 == pages && r + 1 == kRowsPerPage;
            std::uint32_t next = r + 1 < kRowsPerPage ? (pgno << 8 | (r + 1)) : ((pgno + 1) << 8);
            put32(page + start, last ? lastNext : next);
            page[start + 4] = static_cast<std::uint8_t>(r);
        }
    }
    return file;
}

jet::Status readChain(const std::vector<std::uint8_t>& file, std::uint32_t length, jet::Bytes* out) {
    auto layer = std::make_shared<jet::FaultFileLayer>();
    layer->put("/mem/chain.mdb", file);
    jet::Pager::Options options;
    options.file = layer;
    std::unique_ptr<jet::Pager> pager;
    JET_TRY(jet::Pager::open("/mem/chain.mdb", jet::Pager::Mode::ReadOnly, options, &pager));
    std::uint8_t field[jet::kLongValueHeader] = {};
    put32(field, length); // a chained value
    put32(field + 4, kFirstChainPage << 8);
    return jet::readLongValue(*pager, jet::ByteSpan(field, sizeof field), 0, out);
}

TEST(HostileLongValue, LongChainOfTinyRowsIsReadInLinearTime) {
    constexpr std::uint32_t kPages = 1024;
    const std::uint32_t links = kPages * kRowsPerPage;
    jet::Bytes value;
    auto started = std::chrono::steady_clock::now();
    ASSERT_TRUE(readChain(chainFile(kPages, 0), links, &value).ok());
    double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    ASSERT_EQ(value.size(), links);
    for (std::uint32_t i = 0; i < links; ++i) ASSERT_EQ(value[i], static_cast<std::uint8_t>(i % kRowsPerPage));
    // A search of every earlier link at each step needs several seconds here.
    EXPECT_LT(seconds, 2.0);
}

TEST(HostileLongValue, ChainTurningBackIsDamage) {
    constexpr std::uint32_t kPages = 64;
    const std::uint32_t links = kPages * kRowsPerPage;
    jet::Bytes value;
    // The last row leads back to the middle of the chain; the stored length
    // asks for more than the chain holds.
    jet::Status st = readChain(chainFile(kPages, (kFirstChainPage + kPages / 2) << 8 | 7), links + 1000, &value);
    EXPECT_EQ(st.code(), jet::Status::Code::Corrupt);
    EXPECT_NE(st.message().find("zacyklila"), std::string::npos) << st.message();
}

} // namespace
} // namespace hostile
