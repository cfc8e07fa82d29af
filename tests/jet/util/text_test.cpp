// Stored text forms read back: the compressed form switches between one and
// two bytes per character at each 0 byte, and a value decoded into the
// buffer of a longer one keeps nothing of it.
#include <gtest/gtest.h>

#include "jet/text.h"
#include "jet/value.h"

using namespace jet;

namespace {

std::u16string decoded(std::initializer_list<int> bytes, std::u16string into = {}) {
    const Bytes b(bytes.begin(), bytes.end());
    decodeText(b, &into);
    return into;
}

} // namespace

TEST(Text, CompressedRunsSwitchAtEachZeroByte) {
    EXPECT_EQ(decoded({0xFF, 0xFE, 'a', 'b'}), u"ab");
    EXPECT_EQ(decoded({0xFF, 0xFE, 'a', 0, 0x0D, 0x01, 0x61, 0x01, 0, 'c'}), u"a\u010D\u0161c");
    EXPECT_EQ(decoded({0xFF, 0xFE, 0, 'x', 0}), u"x"); // two bytes at once
    EXPECT_EQ(decoded({0xFF, 0xFE, 0, 'x', 0, 0, 'y'}), u"xy");
    EXPECT_EQ(decoded({0xFF, 0xFE, 'a', 0}), u"a"); // a switch at the very end
    EXPECT_EQ(decoded({0xFF, 0xFE, 'a', 0, 'b'}), u"a"); // a stray odd byte is ignored
    EXPECT_EQ(decoded({0xFF, 0xFE}), u"");
}

TEST(Text, PlainUcs2AndReusedBuffers) {
    EXPECT_EQ(decoded({'a', 0, 0x0D, 0x01, 'z'}), u"a\u010D"); // odd trailing byte ignored
    const std::u16string longer(40, u'q');
    EXPECT_EQ(decoded({'h', 0, 'i', 0}, longer), u"hi");
    EXPECT_EQ(decoded({0xFF, 0xFE, 'h', 'i'}, longer), u"hi");
    EXPECT_EQ(decodeUcs2(Bytes{'N', 0, 0xE1, 0}), u"N\u00E1");
}
