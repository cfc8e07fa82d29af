// Made-up Slovak contents for the text and memo columns of a generated
// server database: owners' names, places, descriptions, file paths, digits
// and notes, each about as long as what a server keeps there and never
// longer than its column allows.
#pragma once

#include <cstddef>
#include <random>
#include <string>
#include <string_view>

class Prose {
public:
    explicit Prose(std::mt19937_64& random) : random_(random) {}

    // A value for the text column named `column` (lower case) holding at
    // most `maxChars` characters (at least one): what such a column holds,
    // cut at a word where it would not fit. Never empty.
    std::u16string forColumn(std::string_view column, std::size_t maxChars);

    // Notes of a memo column: often empty, often a few lines, sometimes
    // several KB, rarely tens of KB.
    std::u16string notes();

    // `count` words, separated by spaces.
    std::u16string words(int count);

private:
    enum class Kind;
    std::size_t below(std::size_t n) { return static_cast<std::size_t>(random_() % n); }
    bool chance(int percent) { return below(100) < static_cast<std::size_t>(percent); }
    std::u16string_view pick(const auto& list) { return list[below(std::size(list))]; }

    std::u16string person();
    std::u16string place();
    std::u16string digits(std::size_t min, std::size_t max);
    // `prefix` followed by words (the first after `separator`) for as long
    // as the text stays within `chars` characters.
    std::u16string extended(std::u16string prefix, std::u16string_view separator, std::size_t chars);
    // A dated line of notes.
    void appendLine(std::u16string* out);
    // Between a quarter of `maxChars` and all of it.
    std::size_t someOf(std::size_t maxChars) { return maxChars / 4 + below(maxChars - maxChars / 4 + 1); }

    std::mt19937_64& random_;
};
