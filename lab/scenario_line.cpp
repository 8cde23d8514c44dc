#include "lab/scenario_line.h"

namespace qm::lab {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsKeyChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_';
}

}  // namespace

void ScenarioLine::skipBlanks() {
    while (pos_ < line_.size() && IsBlank(line_[pos_])) ++pos_;
}

bool ScenarioLine::atEnd() {
    skipBlanks();
    return pos_ >= line_.size();
}

std::string_view ScenarioLine::rest() {
    skipBlanks();
    std::string_view text = line_.substr(pos_);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    pos_ = line_.size();
    return text;
}

std::optional<std::string> ScenarioLine::readQuoted() {
    ++pos_;  // the opening quote
    std::string text;
    while (pos_ < line_.size()) {
        char c = line_[pos_++];
        if (c == '"') return text;
        if (c == '\\' && pos_ < line_.size()) {
            char escaped = line_[pos_++];
            switch (escaped) {
                case 'n':
                    text += '\n';
                    break;
                case 't':
                    text += '\t';
                    break;
                case 'r':
                    text += '\r';
                    break;
                default:
                    text += escaped;
                    break;
            }
            continue;
        }
        text += c;
    }
    error_ = "a quoted text has no closing quote";
    return std::nullopt;
}

std::optional<Word> ScenarioLine::next() {
    if (atEnd() || !error_.empty()) return std::nullopt;
    Word word;
    if (line_[pos_] == '"') {
        std::optional<std::string> text = readQuoted();
        if (!text) {
            pos_ = line_.size();
            return std::nullopt;
        }
        word.text = std::move(*text);
        word.quoted = true;
        return word;
    }
    std::size_t start = pos_;
    std::size_t keyEnd = pos_;
    while (keyEnd < line_.size() && IsKeyChar(line_[keyEnd])) ++keyEnd;
    if (keyEnd > start && keyEnd < line_.size() && line_[keyEnd] == '=') {
        word.key = std::string(line_.substr(start, keyEnd - start));
        pos_ = keyEnd + 1;
        if (pos_ < line_.size() && line_[pos_] == '"') {
            std::optional<std::string> text = readQuoted();
            if (!text) {
                pos_ = line_.size();
                return std::nullopt;
            }
            word.text = std::move(*text);
            word.quoted = true;
            return word;
        }
        start = pos_;
    }
    while (pos_ < line_.size() && !IsBlank(line_[pos_])) ++pos_;
    word.text = std::string(line_.substr(start, pos_ - start));
    return word;
}

}  // namespace qm::lab
