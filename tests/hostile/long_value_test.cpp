// A memo whose chain runs through many tiny LVAL rows is read whole, and a
// chain that turns back on itself is damage, however long it is.
#include <gtest/gtest.h>

#include <memory>

#include "jet/format/data_page.h"
#include "jet/table/longvalue.h"
#include "support/fault_file_layer.h"

namespace hostile {
namespace {

constexpr std::uint32_t kFirstChainPage = 2, kPages = 64;
constexpr std::uint32_t kRowsPerPage = 256; // all a row pointer can address
constexpr std::uint32_t kRowSize = 5;       // next pointer and one byte of the value

void put(std::uint8_t* at, std::uint32_t v, int bytes = 4) {
    for (int i = 0; i < bytes; ++i) at[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

// Two pages that are never read, then LVAL pages whose rows form one chain,
// each row holding one byte of the value (its row number). The last row
// points to `lastNext`.
std::vector<std::uint8_t> chainFile(std::uint32_t lastNext) {
    std::vector<std::uint8_t> file((kFirstChainPage + kPages) * jet::kPageSize, 0);
    for (std::uint32_t pgno = kFirstChainPage; pgno < kFirstChainPage + kPages; ++pgno) {
        std::uint8_t* page = &file[pgno * jet::kPageSize];
        page[0] = page[1] = 0x01;
        put(page + 4, jet::kLvalOwner);
        put(page + 12, kRowsPerPage, 2);
        for (std::uint32_t r = 0; r < kRowsPerPage; ++r) {
            const std::uint32_t start = jet::kPageSize - kRowSize * (r + 1);
            put(page + 14 + 2 * r, start, 2);
            const bool last = pgno + 1 == kFirstChainPage + kPages && r + 1 == kRowsPerPage;
            put(page + start, last ? lastNext : r + 1 < kRowsPerPage ? (pgno << 8 | (r + 1)) : ((pgno + 1) << 8));
            page[start + 4] = static_cast<std::uint8_t>(r);
        }
    }
    return file;
}

jet::Status readChain(std::uint32_t lastNext, std::uint32_t length, jet::Bytes* out) {
    auto layer = std::make_shared<jet::FaultFileLayer>();
    layer->put("/mem/chain.mdb", chainFile(lastNext));
    jet::Pager::Options options;
    options.file = layer;
    std::unique_ptr<jet::Pager> pager;
    JET_TRY(jet::Pager::open("/mem/chain.mdb", jet::Pager::Mode::ReadOnly, options, &pager));
    std::uint8_t field[jet::kLongValueHeader] = {};
    put(field, length); // a chained value
    put(field + 4, kFirstChainPage << 8);
    return jet::readLongValue(*pager, jet::ByteSpan(field, sizeof field), 0, out);
}

TEST(HostileLongValue, LongChainIsReadWholeAChainTurningBackIsDamage) {
    const std::uint32_t links = kPages * kRowsPerPage;
    jet::Bytes value;
    ASSERT_TRUE(readChain(0, links, &value).ok());
    ASSERT_EQ(value.size(), links);
    for (std::uint32_t i = 0; i < links; ++i) ASSERT_EQ(value[i], static_cast<std::uint8_t>(i % kRowsPerPage));
    // The last row leads back to the middle of the chain; the stored length
    // asks for more than the chain holds.
    jet::Status st = readChain((kFirstChainPage + kPages / 2) << 8 | 7, links + 1000, &value);
    EXPECT_EQ(st.code(), jet::Status::Code::Corrupt);
    EXPECT_NE(st.message().find("zacyklila"), std::string::npos) << st.message();
}

} // namespace
} // namespace hostile
