#include "protocol/words.h"

void appendWord(WordList& list, std::string_view text) { list.items.emplace_back(text); }

void splitWords(std::string_view text, char separator, WordList& list) {
    std::size_t start = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == separator) {
            appendWord(list, text.substr(start, i - start));
            start = i + 1;
        }
    }
    appendWord(list, text.substr(start));
}
