#pragma once
// One line of a scenario file split into words: bare words, "quoted texts"
// with \" \\ \n \r \t escapes, and key=value or key="quoted value" options.

#include <optional>
#include <string>
#include <string_view>

namespace qm::lab {

struct Word {
    std::string key;  // empty unless the word was key=value
    std::string text;
    bool quoted = false;
};

class ScenarioLine {
public:
    explicit ScenarioLine(std::string_view line) : line_(line) {}

    bool atEnd();
    // The next word; nothing at the end of the line. A quoted text without
    // its closing quote sets error() and ends the line.
    std::optional<Word> next();
    // Everything not read yet, without the blanks around it.
    std::string_view rest();
    const std::string& error() const { return error_; }

private:
    void skipBlanks();
    std::optional<std::string> readQuoted();

    std::string_view line_;
    std::size_t pos_ = 0;
    std::string error_;
};

}  // namespace qm::lab
