// Appending rows: values of every kind read back by our reader and by
// mdb-export, indexes checked against the rows, AutoNumber, transactions.
#include "append_test_util.h"

#include <algorithm>
#include <unistd.h>

using namespace append_test;

namespace {

std::u16string u(const std::string& utf8) { return fromUtf8(utf8); }

std::vector<Value> identifierRow(std::int64_t device, std::int64_t n) {
    char id[32];
    std::snprintf(id, sizeof id, "K%08lld", static_cast<long long>(n));
    return {Value(std::int64_t{n * 7 % 1000}), Value(device), Value(u(id)), Value(u("1234"))};
}

} // namespace

TEST(Append, RowsOfAKeyedTableReadBackAndCheckClean) {
    Scratch file(blank());
    {
        auto db = openWritable(file.path());
        auto t = openTable(*db, "downloadovane_identifikatory");
        ASSERT_TRUE(t->canAppend().isOk());
        ASSERT_TRUE(db->begin().isOk());
        for (int i = 0; i < 2000; ++i) {
            auto row = identifierRow(i % 3, i);
            Status s = t->append(&row);
            ASSERT_TRUE(s.isOk()) << i << ": " << s.message();
        }
        ASSERT_TRUE(db->commit().isOk());
        EXPECT_EQ(t->rowCount(), 2000u);
    }
    auto db = openWritable(file.path());
    auto rows = readAll(*db, "downloadovane_identifikatory");
    ASSERT_EQ(rows.size(), 2000u);
    for (int i = 0; i < 2000; ++i) EXPECT_EQ(rows[i], identifierRow(i % 3, i)) << i;
    db.reset();
    const CheckReport r = expectCleanCheck(file.path());
    EXPECT_EQ(r.keysNotCompared, 0u);
}
