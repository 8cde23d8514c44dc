#include "lab/page_script.h"

#include <cctype>
#include <optional>

#include "common/text.h"

namespace qm::lab {
namespace {

// One value of an argument list or the right side of an assignment.
struct Value {
    enum class Kind { Text, Number, Null, Name } kind;
    std::string text;
    int number = 0;
};

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    void skipBlanks() {
        while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
    }
    bool atEnd() {
        skipBlanks();
        return pos_ >= text_.size();
    }
    bool take(char c) {
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }
    // A dotted name such as window.open.
    std::string name() {
        skipBlanks();
        std::size_t start = pos_;
        while (pos_ < text_.size() &&
               (std::isalnum(static_cast<unsigned char>(text_[pos_])) || text_[pos_] == '_' ||
                text_[pos_] == '.' || text_[pos_] == '$')) {
            ++pos_;
        }
        return std::string(text_.substr(start, pos_ - start));
    }
    std::optional<Value> value() {
        skipBlanks();
        if (pos_ >= text_.size()) return std::nullopt;
        char c = text_[pos_];
        if (c == '\'' || c == '"') return quoted(c);
        if (std::isdigit(static_cast<unsigned char>(c)) || c == '-') {
            std::size_t start = pos_++;
            while (pos_ < text_.size() && std::isdigit(static_cast<unsigned char>(text_[pos_])))
                ++pos_;
            Value number{Value::Kind::Number, std::string(text_.substr(start, pos_ - start))};
            number.number = ParseDecimal(number.text);
            return number;
        }
        std::string word = name();
        if (word.empty()) return std::nullopt;
        if (word == "null") return Value{Value::Kind::Null, ""};
        return Value{Value::Kind::Name, word};
    }

private:
    std::optional<Value> quoted(char quote) {
        ++pos_;
        std::string text;
        while (pos_ < text_.size()) {
            char c = text_[pos_++];
            if (c == quote) return Value{Value::Kind::Text, text};
            if (c == '\\' && pos_ < text_.size()) c = text_[pos_++];
            text += c;
        }
        return std::nullopt;
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

// Splits at semicolons outside quotes and parentheses.
std::vector<std::string_view> SplitStatements(std::string_view code) {
    std::vector<std::string_view> parts;
    char quote = 0;
    int depth = 0;
    std::size_t start = 0;
    for (std::size_t i = 0; i < code.size(); ++i) {
        char c = code[i];
        if (quote) {
            if (c == '\\') {
                ++i;
            } else if (c == quote) {
                quote = 0;
            }
        } else if (c == '\'' || c == '"') {
            quote = c;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')') {
            --depth;
        } else if (c == ';' && depth <= 0) {
            parts.push_back(code.substr(start, i - start));
            start = i + 1;
        }
    }
    parts.push_back(code.substr(start));
    return parts;
}

std::optional<std::vector<Value>> Arguments(Reader& reader) {
    std::vector<Value> values;
    if (reader.take(')')) return values;
    do {
        std::optional<Value> value = reader.value();
        if (!value) return std::nullopt;
        values.push_back(std::move(*value));
    } while (reader.take(','));
    if (!reader.take(')')) return std::nullopt;
    return values;
}

bool AllTexts(const std::vector<Value>& values) {
    for (const Value& value : values) {
        if (value.kind != Value::Kind::Text) return false;
    }
    return true;
}

void ReadCall(const std::string& callee, const std::vector<Value>& args, Statement& statement) {
    using Kind = Statement::Kind;
    if (callee == "window.open" || callee == "open") {
        if (args.size() > 4 || !AllTexts(args)) return;
        statement.kind = Kind::Open;
        for (std::size_t i = 0; i < 3; ++i) {
            statement.args.push_back(i < args.size() ? args[i].text : std::string());
        }
    } else if (callee == "setTimeout" || callee == "window.setTimeout") {
        if (args.size() != 2 || args[1].kind != Value::Kind::Number) return;
        if (args[0].kind == Value::Kind::Text) {
            statement.args.push_back(args[0].text);
        } else if (args[0].kind == Value::Kind::Name) {
            statement.args.push_back(args[0].text + "()");
        } else {
            return;
        }
        statement.kind = Kind::SetTimeout;
        statement.milliseconds = args[1].number;
    } else if (args.empty() && callee.find('.') == std::string::npos) {
        statement.kind = Kind::Call;
        statement.args.push_back(callee);
    }
}

void ReadAssignment(const std::string& target, const Value& value, Statement& statement) {
    using Kind = Statement::Kind;
    bool text = value.kind == Value::Kind::Text;
    if (target == "document.title" && text) {
        statement.kind = Kind::SetTitle;
        statement.args.push_back(value.text);
        return;
    }
    if ((target == "location" || target == "location.href" || target == "window.location" ||
         target == "window.location.href" || target == "document.location") &&
        text) {
        statement.kind = Kind::Navigate;
        statement.args.push_back(value.text);
        return;
    }
    struct HandlerTarget {
        const char* name;
        HandlerOwner owner;
        const char* event;
    };
    static const HandlerTarget kHandlers[] = {
        {"document.body.onunload", HandlerOwner::Body, "onunload"},
        {"document.body.onbeforeunload", HandlerOwner::Body, "onbeforeunload"},
        {"window.onunload", HandlerOwner::Window, "onunload"},
        {"window.onbeforeunload", HandlerOwner::Window, "onbeforeunload"},
    };
    for (const HandlerTarget& handler : kHandlers) {
        if (target != handler.name) continue;
        if (!text && value.kind != Value::Kind::Null) return;
        statement.kind = Kind::SetHandler;
        statement.owner = handler.owner;
        statement.event = handler.event;
        statement.clears = value.kind == Value::Kind::Null || value.text.empty();
        if (!statement.clears) statement.args.push_back(value.text);
        return;
    }
}

Statement ReadStatement(std::string_view text) {
    Statement statement;
    statement.text = std::string(text);
    Reader reader(text);
    std::string head = reader.name();
    if (head.empty()) return statement;
    if (reader.take('(')) {
        std::optional<std::vector<Value>> args = Arguments(reader);
        if (args && reader.atEnd()) ReadCall(head, *args, statement);
    } else if (reader.take('=')) {
        std::optional<Value> value = reader.value();
        if (value && reader.atEnd()) ReadAssignment(head, *value, statement);
    }
    if (statement.kind == Statement::Kind::NotUnderstood) statement.args.clear();
    return statement;
}

}  // namespace

std::vector<Statement> ParsePageScript(std::string_view code) {
    std::vector<Statement> statements;
    for (std::string_view part : SplitStatements(code)) {
        std::string_view trimmed = Trim(part);
        if (!trimmed.empty()) statements.push_back(ReadStatement(trimmed));
    }
    return statements;
}

}  // namespace qm::lab
