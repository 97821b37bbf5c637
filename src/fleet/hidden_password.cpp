#include "fleet/hidden_password.h"

#include <algorithm>
#include <cctype>

namespace vorlen::fleet {
namespace {

constexpr std::string_view kMask = "***";
constexpr std::string_view kKeyword = "password";

bool SameLetters(std::string_view text, std::size_t at, std::string_view word) {
    return at + word.size() <= text.size() &&
           std::equal(word.begin(), word.end(), text.begin() + static_cast<std::ptrdiff_t>(at),
                      [](char lower, char given) {
                          return std::tolower(static_cast<unsigned char>(given)) == lower;
                      });
}

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// "scheme://user:password@": the password runs from the colon after the
// scheme to the '@' that ends the user part (before any '/', '?' or '#').
void HideUserPassword(std::string& text) {
    for (std::size_t scheme = text.find("://"); scheme != std::string::npos;
         scheme = text.find("://", scheme + 3)) {
        const std::size_t start = scheme + 3;
        const std::size_t end = text.find_first_of("/?#@ \t\r\n", start);
        if (end == std::string::npos || text[end] != '@') {
            continue;
        }
        const std::size_t colon = text.find(':', start);
        if (colon < end) {
            text.replace(colon + 1, end - colon - 1, kMask);
        }
    }
}

// The end of a keyword string's value that starts at `at`: a quoted one
// ends at its closing quote (a backslash escapes the next character), a
// bare one at white space; in a URI's query, at the next '&' or '#'. A
// message that quotes the connection text loses its closing quote to the
// mask rather than show a password that holds one.
std::size_t ValueEnd(std::string_view text, std::size_t at) {
    if (at < text.size() && text[at] == '\'') {
        for (std::size_t i = at + 1; i < text.size(); ++i) {
            if (text[i] == '\\') {
                ++i;
            } else if (text[i] == '\'') {
                return i + 1;
            }
        }
        return text.size();
    }
    std::size_t end = at;
    while (end < text.size() && !IsSpace(text[end]) && text[end] != '&' && text[end] != '#') {
        ++end;
    }
    return end;
}

// "password=pw", "password = 'p w'", "?password=pw&": every value given to
// a word ending in "password" (any case; "sslpassword" too).
void HideKeywordPasswords(std::string& text) {
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (!SameLetters(text, at, kKeyword)) {
            continue;
        }
        std::size_t i = at + kKeyword.size();
        while (i < text.size() && IsSpace(text[i])) {
            ++i;
        }
        if (i >= text.size() || text[i] != '=') {
            continue;
        }
        ++i;
        while (i < text.size() && IsSpace(text[i])) {
            ++i;
        }
        const std::size_t end = ValueEnd(text, i);
        text.replace(i, end - i, kMask);
        at = i + kMask.size() - 1;
    }
}

}  // namespace

std::string WithoutPasswords(std::string_view text) {
    std::string hidden(text);
    HideUserPassword(hidden);
    HideKeywordPasswords(hidden);
    return hidden;
}

}  // namespace vorlen::fleet
