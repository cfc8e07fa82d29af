// The set behind the identifier test: membership ignores letter case as the
// engine does and nothing else; it holds up as it grows.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "jet/text.h"
#include "merge/text_set.h"

namespace merge {
namespace {

TEST(FoldedTextSet, MembersMatchIgnoringLetterCaseOnly) {
    FoldedTextSet set;
    EXPECT_FALSE(set.contains(u"ab"));
    set.insert(u"Čučoriedka");
    set.insert(u"ab");
    set.insert(u"AB"); // the same text
    EXPECT_EQ(set.size(), 2u);
    EXPECT_TRUE(set.contains(u"čUČORIEDKA"));
    EXPECT_TRUE(set.contains(u"aB"));
    EXPECT_FALSE(set.contains(u"a"));
    EXPECT_FALSE(set.contains(u"abc"));
    EXPECT_FALSE(set.contains(u"Cucoriedka")); // accents count
    EXPECT_FALSE(set.contains(u""));
    set.insert(u"");
    EXPECT_TRUE(set.contains(u""));
}

TEST(FoldedTextSet, ManyTextsAgreeWithASetOfFoldedCopies) {
    FoldedTextSet set;
    std::set<std::u16string> folded;
    auto fold = [](std::u16string text) {
        for (char16_t& c : text) c = jet::foldCase(c);
        return text;
    };
    for (int n = 0; n < 5000; n += 2) {
        std::u16string text = jet::fromUtf8("Id-" + std::to_string(n * 7919 % 100003) + (n % 3 ? "ž" : "Ž"));
        set.insert(text);
        folded.insert(fold(text));
    }
    EXPECT_EQ(set.size(), folded.size());
    for (int n = 0; n < 5000; ++n) {
        std::u16string text = jet::fromUtf8("ID-" + std::to_string(n * 7919 % 100003) + "ž");
        EXPECT_EQ(set.contains(text), folded.count(fold(text)) == 1) << n;
    }
}

} // namespace
} // namespace merge
