// A command line cut into words.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The words of one command line, in order, empty words included.
struct WordList {
    std::vector<std::string> items;
    std::uint32_t count() const { return static_cast<std::uint32_t>(items.size()); }
};

void appendWord(WordList& list, std::string_view text);
// Every separator ends a word: n separators give n + 1 words.
void splitWords(std::string_view text, char separator, WordList& list);
