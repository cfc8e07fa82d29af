// Keys of non-text columns: byte order must equal value order, nulls first
// (ascending) or last (descending), and the layouts Access writes.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "jet/keys.h"

using namespace jet;

namespace {

Bytes field(ColumnType type, const Value& v, bool ascending = true) {
    Bytes out;
    Status s = appendKeyField(KeyColumn{type, ascending}, v, &out);
    EXPECT_TRUE(s.isOk()) << s.message();
    return out;
}

Bytes hex(std::initializer_list<int> bytes) { return Bytes(bytes.begin(), bytes.end()); }

template <typename T>
void expectIncreasing(ColumnType type, std::initializer_list<T> values) {
    std::vector<Bytes> asc, desc;
    for (const T& v : values) {
        asc.push_back(field(type, Value(v), true));
        desc.push_back(field(type, Value(v), false));
    }
    for (std::size_t i = 1; i < asc.size(); ++i) {
        EXPECT_LT(asc[i - 1], asc[i]) << "ascending, value " << i;
        EXPECT_GT(desc[i - 1], desc[i]) << "descending, value " << i;
    }
    EXPECT_LT(field(type, Value(), true), asc.front());
    EXPECT_GT(field(type, Value(), false), desc.front());
}

} // namespace

TEST(Keys, LayoutsSeenInAccessFiles) {
    EXPECT_EQ(field(ColumnType::Long, Value(std::int64_t{0})), hex({0x7F, 0x80, 0, 0, 0}));
    EXPECT_EQ(field(ColumnType::Long, Value(std::int64_t{-1})), hex({0x7F, 0x7F, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(field(ColumnType::Long, Value(std::int64_t{4813}), false), hex({0x80, 0x7F, 0xFF, 0xED, 0x32}));
    EXPECT_EQ(field(ColumnType::Long, Value(), true), hex({0x00}));
    EXPECT_EQ(field(ColumnType::Long, Value(), false), hex({0xFF}));
    EXPECT_EQ(field(ColumnType::Byte, Value(std::int64_t{0x41})), hex({0x7F, 0x41}));
    // 2009-10-22 03:57:13
    double when;
    const std::uint8_t stored[8] = {0x74, 0xCF, 0x7F, 0x45, 0x85, 0x95, 0xE3, 0x40};
    std::memcpy(&when, stored, 8);
    EXPECT_EQ(field(ColumnType::DateTime, Value(DateTime{when})),
              hex({0x7F, 0xC0, 0xE3, 0x95, 0x85, 0x45, 0x7F, 0xCF, 0x74}));
}

TEST(Keys, MultiColumnKeyConcatenatesFields) {
    const KeyColumn cols[] = {{ColumnType::Long, true}, {ColumnType::Text, true, 0x0409, 0}};
    const Value vals[] = {Value(std::int64_t{0x0F000000}), Value(std::u16string(u"Forms"))};
    Bytes key;
    ASSERT_TRUE(encodeKey(cols, vals, &key).isOk());
    EXPECT_EQ(key, hex({0x7F, 0x8F, 0, 0, 0, 0x7F, 0x53, 0x64, 0x69, 0x60, 0x6B, 0x01, 0x00}));
    const Value nulls[] = {Value(), Value()};
    EXPECT_TRUE(allKeyValuesNull(cols, nulls));
    EXPECT_FALSE(allKeyValuesNull(cols, vals));
}

TEST(Keys, ByteOrderFollowsValueOrder) {
    expectIncreasing<std::int64_t>(ColumnType::Byte, {0, 1, 127, 128, 255});
    expectIncreasing<std::int64_t>(ColumnType::Int, {-32768, -2, -1, 0, 1, 32767});
    expectIncreasing<std::int64_t>(ColumnType::Long, {INT32_MIN, -70000, -1, 0, 1, 65536, INT32_MAX});
    expectIncreasing<Currency>(ColumnType::Currency, {Currency{INT64_MIN}, Currency{-10000}, Currency{0},
                                                      Currency{1}, Currency{INT64_MAX}});
    const double inf = std::numeric_limits<double>::infinity();
    expectIncreasing<double>(ColumnType::Double, {-inf, -1e300, -2.5, -1e-300, 0.0, 1e-300, 0.1 + 0.2, 1e300, inf});
    expectIncreasing<float>(ColumnType::Single, {-3.5f, -1.0f, 0.0f, 0.25f, 1e30f});
    expectIncreasing<DateTime>(ColumnType::DateTime, {DateTime{-1.5}, DateTime{0}, DateTime{40108.16}});
    expectIncreasing<Bytes>(ColumnType::Binary, {Bytes{0}, Bytes{0, 0}, Bytes{1}, Bytes(8, 0xFF),
                                                 Bytes(9, 0xFF), Bytes(20, 0xFF)});
}

TEST(Keys, SegmentedValues) {
    EXPECT_EQ(field(ColumnType::Binary, Value(Bytes{1, 2, 3})), hex({0x7F, 1, 2, 3, 0, 0, 0, 0, 0, 3}));
    EXPECT_EQ(field(ColumnType::Binary, Value(Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9})),
              hex({0x7F, 1, 2, 3, 4, 5, 6, 7, 8, 0x09, 9, 0, 0, 0, 0, 0, 0, 0, 1}));
    EXPECT_EQ(field(ColumnType::Binary, Value(Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9}), false),
              hex({0x80, 0xFE, 0xFD, 0xFC, 0xFB, 0xFA, 0xF9, 0xF8, 0xF7, 0x09, 0xF6, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                   0xFF, 0xFF, 0xFE}));
    EXPECT_EQ(field(ColumnType::Binary, Value(Bytes{})), hex({0x7F}));
    // {00112233-4455-6677-8899-AABBCCDDEEFF}, stored with its first three groups reversed.
    Guid g{{0x33, 0x22, 0x11, 0x00, 0x55, 0x44, 0x77, 0x66, 0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF}};
    EXPECT_EQ(field(ColumnType::Guid, Value(g)), hex({0x7F, 0x00, 0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x09,
                                                      0x88, 0x99, 0xAA, 0xBB, 0xCC, 0xDD, 0xEE, 0xFF, 0x08}));
}

TEST(Keys, BooleanAndNumeric) {
    EXPECT_EQ(field(ColumnType::Bool, Value(true)), hex({0x7F, 0x00}));
    EXPECT_EQ(field(ColumnType::Bool, Value(false)), hex({0x7F, 0xFF}));
    EXPECT_EQ(field(ColumnType::Bool, Value()), hex({0x7F, 0xFF})); // a boolean is never Null
    EXPECT_EQ(field(ColumnType::Bool, Value(true), false), hex({0x80, 0xFF}));
    Numeric plus, minus;
    plus.magnitude[0] = 5;
    minus = plus;
    minus.negative = true;
    const Bytes p = field(ColumnType::Numeric, Value(plus));
    const Bytes m = field(ColumnType::Numeric, Value(minus));
    ASSERT_EQ(p.size(), 18u);
    EXPECT_EQ(p[1], 0xFF);
    EXPECT_EQ(p[17], 5);
    EXPECT_EQ(m[1], 0x00);
    EXPECT_EQ(m[17], 0xFA);
    EXPECT_LT(m, p);
}

TEST(Keys, RefusesValuesThatDoNotFitTheColumn) {
    Bytes out;
    EXPECT_EQ(appendKeyField({ColumnType::Long}, Value(std::u16string(u"x")), &out).code(),
              Status::Code::InvalidArgument);
    EXPECT_EQ(appendKeyField({ColumnType::Byte}, Value(std::int64_t{256}), &out).code(),
              Status::Code::InvalidArgument);
    EXPECT_EQ(appendKeyField({ColumnType::Int}, Value(std::int64_t{40000}), &out).code(),
              Status::Code::InvalidArgument);
    EXPECT_EQ(appendKeyField({ColumnType::Ole}, Value(Bytes{1}), &out).code(), Status::Code::Unsupported);
    EXPECT_TRUE(out.empty());
}
