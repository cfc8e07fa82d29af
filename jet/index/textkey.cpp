// The sort-key algorithm of the General sort order; its weights are in
// textkey_weights.inc.
#include "jet/index/textkey.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <iterator>

namespace jet {
namespace {

// How a character takes part in the key.
enum Kind : std::uint8_t {
    Plain,         // one or two primary weights
    Accented,      // its base letter's primary weight and an accent weight
    Punctuation,   // ignorable: a weight recorded with its position
    CombiningMark, // added to the accent weight of the preceding letter
    Ignored,       // takes no part at all
};

struct Weight {
    char16_t ch;
    Kind kind;
    std::uint8_t primary[2];
    std::uint8_t primaryCount;
    // Accented: the accent weight; Punctuation: its weight; CombiningMark:
    // what it adds to the accent weight.
    std::uint8_t extra;
};

// Sorted by code unit.
constexpr Weight kWeights[] = {
#include "jet/index/textkey_weights.inc"
};

constexpr const Weight* searchWeight(char16_t ch) {
    auto it = std::lower_bound(std::begin(kWeights), std::end(kWeights), ch,
                               [](const Weight& w, char16_t c) { return w.ch < c; });
    return it != std::end(kWeights) && it->ch == ch ? &*it : nullptr;
}

// The first 256 characters, which most texts are made of, looked up directly.
constexpr std::array<const Weight*, 256> kLatin1Weights = [] {
    std::array<const Weight*, 256> t{};
    for (std::size_t ch = 0; ch < t.size(); ++ch) t[ch] = searchWeight(static_cast<char16_t>(ch));
    return t;
}();

inline const Weight* weightOf(char16_t ch) { return ch < 256 ? kLatin1Weights[ch] : searchWeight(ch); }

// Of the first 256 characters, the primary weight of those that are one
// plain weight and nothing else (letters and digits, mostly); 0 for others.
constexpr std::array<std::uint8_t, 256> kSinglePrimary = [] {
    std::array<std::uint8_t, 256> t{};
    for (std::size_t ch = 0; ch < t.size(); ++ch) {
        const Weight* w = kLatin1Weights[ch];
        if (w && w->kind == Plain && w->primaryCount == 1) t[ch] = w->primary[0];
    }
    return t;
}();
static_assert(std::none_of(std::begin(kWeights), std::end(kWeights),
                           [](const Weight& w) { return w.primaryCount > 0 && w.primary[0] == 0; }),
              "0 marks a character without a single plain weight");

constexpr std::size_t kMaxKeyChars = 255;
constexpr std::uint8_t kUnaccented = 0x02;
constexpr std::uint8_t kSeparator = 0x01;
constexpr std::uint8_t kEnd = 0x00;

// A section of the key, sized for the longest text that counts.
template <std::size_t N> struct Section {
    std::array<std::uint8_t, N> bytes;
    std::size_t size = 0;

    void push(std::uint8_t b) { bytes[size++] = b; }
    bool empty() const { return size == 0; }
    std::uint8_t& back() { return bytes[size - 1]; }
    const std::uint8_t* begin() const { return bytes.data(); }
    const std::uint8_t* end() const { return bytes.data() + size; }
};

// The three sections of the key as the text is scanned.
struct KeySections {
    Section<2 * kMaxKeyChars> primary;
    bool haveAccents = false;
    Section<kMaxKeyChars + 1> accents;     // one weight per letter up to the last accented one
    std::size_t accented = 0;              // letters represented in `accents`
    bool leadingMark = false;              // `accents` began with a combining mark
    Section<4 * kMaxKeyChars> punctuation; // 4 bytes per punctuation character
    std::size_t letters = 0;               // characters that produced primary weights

    // A character of one plain weight, as most are: add() in short.
    void addPlain(std::uint8_t weight) {
        primary.push(weight);
        ++letters;
    }

    void add(const Weight& w) {
        const std::size_t pos = letters;
        if (w.kind == Plain || w.kind == Accented) {
            for (std::uint8_t i = 0; i < w.primaryCount; ++i) primary.push(w.primary[i]);
            ++letters;
        }
        if (w.kind == Accented || w.kind == CombiningMark) addAccent(w, pos);
        if (w.kind == Punctuation) addPunctuation(w.extra, pos);
    }

    void addAccent(const Weight& w, std::size_t pos) {
        haveAccents = true;
        while (accented < pos) {
            accents.push(kUnaccented);
            ++accented;
        }
        if (w.kind == Accented) {
            accents.push(w.extra);
            ++accented;
        } else if (!accents.empty()) {
            accents.back() = static_cast<std::uint8_t>(accents.back() + w.extra);
        } else {
            accents.push(w.extra);
            leadingMark = true;
        }
    }

    void addPunctuation(std::uint8_t code, std::size_t pos) {
        const std::size_t p = haveAccents ? accents.size + (pos - accented) - (leadingMark ? 1 : 0) : pos;
        const unsigned w = 0x8000u | ((7u + 4u * p) & 0x7FFFu);
        punctuation.push(static_cast<std::uint8_t>(w >> 8));
        punctuation.push(static_cast<std::uint8_t>(w));
        punctuation.push(0x06);
        punctuation.push(code);
    }

    // Appends the key to `out`.
    void finish(Bytes* out) {
        while (!accents.empty() && accents.back() <= kUnaccented) --accents.size;
        out->reserve(out->size() + primary.size + accents.size + punctuation.size + 6);
        out->insert(out->end(), primary.begin(), primary.end());
        out->push_back(kSeparator);
        out->insert(out->end(), accents.begin(), accents.end());
        if (!punctuation.empty()) {
            out->insert(out->end(), {kSeparator, kSeparator, kSeparator});
            out->insert(out->end(), punctuation.begin(), punctuation.end());
        }
        out->push_back(kEnd);
    }
};

std::u16string_view significant(std::u16string_view text) {
    text = text.substr(0, std::min(text.size(), kMaxKeyChars));
    while (!text.empty() && text.back() == u' ') text.remove_suffix(1);
    return text;
}

} // namespace

bool isGeneralSortOrder(std::uint16_t lcid, std::uint8_t version) { return lcid == kGeneralSortOrder && version == 0; }

bool generalSortKnows(char16_t ch) { return weightOf(ch) != nullptr; }

Status appendGeneralTextKey(std::u16string_view text, bool ascending, Bytes* out) {
    KeySections key;
    for (char16_t ch : significant(text)) {
        if (const std::uint8_t plain = ch < kSinglePrimary.size() ? kSinglePrimary[ch] : 0) {
            key.addPlain(plain);
            continue;
        }
        const Weight* w = weightOf(ch);
        if (!w) {
            char code[8];
            std::snprintf(code, sizeof code, "%04X", static_cast<unsigned>(ch));
            return Status::error(Status::Code::Unsupported,
                                 std::string("Kľúč indexu pre znak U+") + code + " nevieme vytvoriť");
        }
        key.add(*w);
    }
    const std::size_t start = out->size();
    key.finish(out);
    if (!ascending) {
        for (std::size_t i = start; i < out->size(); ++i) (*out)[i] = static_cast<std::uint8_t>(~(*out)[i]);
        out->push_back(kEnd);
    }
    return Status::OK();
}

} // namespace jet
