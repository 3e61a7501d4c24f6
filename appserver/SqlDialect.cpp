#include "appserver/SqlDialect.h"

#include <cctype>
#include <vector>

#include "platform/core/AsciiText.h"

namespace corvane::appserver {

namespace {

bool identChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_' || (c & 0x80); }

// Skips a quoted text starting at i (the opening quote); returns the index
// after the closing quote, or npos when it never closes.
std::size_t skipQuoted(std::string_view s, std::size_t i) {
    char close = s[i] == '[' ? ']' : s[i];
    for (std::size_t j = i + 1; j < s.size(); ++j) {
        if (s[j] == close) {
            if (close != ']' && j + 1 < s.size() && s[j + 1] == close) {
                ++j;  // doubled quote
                continue;
            }
            return j + 1;
        }
    }
    return std::string_view::npos;
}

struct Token {
    enum Kind { Word, Quoted, Other } kind;
    std::string text;
};

std::vector<Token> tokenize(std::string_view s) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < s.size()) {
        char c = s[i];
        if (c == '\'' || c == '"' || c == '[') {
            std::size_t end = skipQuoted(s, i);
            if (end == std::string_view::npos) end = s.size();
            tokens.push_back({Token::Quoted, std::string(s.substr(i, end - i))});
            i = end;
        } else if (identChar(c)) {
            std::size_t j = i;
            while (j < s.size() && identChar(s[j])) ++j;
            tokens.push_back({Token::Word, std::string(s.substr(i, j - i))});
            i = j;
        } else {
            tokens.push_back({Token::Other, std::string(1, c)});
            ++i;
        }
    }
    return tokens;
}

bool isWord(const Token& t, std::string_view upperWord) { return t.kind == Token::Word && upperAscii(t.text) == upperWord; }
bool isSpace(const Token& t) {
    return t.kind == Token::Other && std::isspace(static_cast<unsigned char>(t.text[0]));
}
bool isNumber(const Token& t) {
    if (t.kind != Token::Word || t.text.empty()) return false;
    for (char c : t.text)
        if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    return true;
}

std::size_t nextSolid(const std::vector<Token>& t, std::size_t i) {
    while (i < t.size() && isSpace(t[i])) ++i;
    return i;
}

}  // namespace

std::string translateSqlServerDialect(std::string_view sql) {
    std::vector<Token> t = tokenize(sql);
    // Pass 1: qualifiers and functions.
    std::vector<Token> out;
    out.reserve(t.size());
    for (std::size_t i = 0; i < t.size(); ++i) {
        const Token& tok = t[i];
        if (tok.kind == Token::Other && tok.text == "$" && i + 1 < t.size() && t[i + 1].text == "$") {
            ++i;  // "$$" before a table name
            continue;
        }
        if (tok.kind == Token::Word && i + 2 < t.size() && t[i + 1].text == "." && t[i + 2].text == ".") {
            i += 2;  // db..TABLE
            continue;
        }
        if (tok.kind == Token::Word && i + 4 < t.size() && t[i + 1].text == "." && isWord(t[i + 2], "DBO") &&
            t[i + 3].text == ".") {
            i += 3;  // db.dbo.TABLE
            continue;
        }
        if (tok.kind == Token::Word) {
            std::size_t n = nextSolid(t, i + 1);
            bool call = n < t.size() && t[n].text == "(";
            std::string u = upperAscii(tok.text);
            if (call && u == "ISNULL") {
                out.push_back({Token::Word, "IFNULL"});
                continue;
            }
            if (call && u == "LEN") {
                out.push_back({Token::Word, "LENGTH"});
                continue;
            }
            if (call && u == "GETDATE") {
                std::size_t close = nextSolid(t, n + 1);
                if (close < t.size() && t[close].text == ")") {
                    out.push_back({Token::Other, "datetime('now','localtime')"});
                    i = close;
                    continue;
                }
            }
        }
        out.push_back(tok);
    }
    // Pass 2: SELECT [DISTINCT] TOP n -> LIMIT n at the end of that select.
    struct PendingLimit {
        int depth;
        std::string count;
    };
    std::vector<PendingLimit> pending;
    std::string result;
    int depth = 0;
    auto flushAtDepth = [&](int d) {
        while (!pending.empty() && pending.back().depth == d) {
            result += " LIMIT " + pending.back().count;
            pending.pop_back();
        }
    };
    for (std::size_t i = 0; i < out.size(); ++i) {
        const Token& tok = out[i];
        if (tok.text == "(") ++depth;
        if (tok.text == ")") {
            flushAtDepth(depth);
            --depth;
        }
        if (tok.text == ";") flushAtDepth(depth);
        result += tok.text;
        if (isWord(tok, "SELECT")) {
            std::size_t j = nextSolid(out, i + 1);
            std::size_t topAt = j;
            if (j < out.size() && (isWord(out[j], "DISTINCT") || isWord(out[j], "ALL"))) {
                topAt = nextSolid(out, j + 1);
            }
            if (topAt < out.size() && isWord(out[topAt], "TOP")) {
                std::size_t numAt = nextSolid(out, topAt + 1);
                bool paren = numAt < out.size() && out[numAt].text == "(";
                std::size_t valueAt = paren ? nextSolid(out, numAt + 1) : numAt;
                if (valueAt < out.size() && isNumber(out[valueAt])) {
                    std::size_t end = valueAt;
                    if (paren) {
                        end = nextSolid(out, valueAt + 1);
                        if (end >= out.size() || out[end].text != ")") continue;
                    }
                    pending.push_back({depth, out[valueAt].text});
                    // Keep what lay between SELECT and TOP (DISTINCT), drop "TOP n".
                    for (std::size_t k = i + 1; k < topAt; ++k) result += out[k].text;
                    i = end;
                    if (i + 1 < out.size() && isSpace(out[i + 1])) ++i;
                }
            }
        }
    }
    // Trailing blanks stay before the LIMIT clause.
    std::size_t trimmed = result.find_last_not_of(" \t\r\n");
    std::string tail = trimmed == std::string::npos ? "" : result.substr(trimmed + 1);
    if (trimmed != std::string::npos) result.erase(trimmed + 1);
    while (!pending.empty()) {
        result += " LIMIT " + pending.back().count;
        pending.pop_back();
    }
    return result + tail;
}

std::string checkWhereText(std::string_view where) {
    int depth = 0;
    for (std::size_t i = 0; i < where.size(); ++i) {
        char c = where[i];
        if (c == '\'' || c == '"' || c == '[') {
            std::size_t end = skipQuoted(where, i);
            if (end == std::string_view::npos) return "a quoted text in the condition is not closed";
            i = end - 1;
            continue;
        }
        if (c == '\0') return "the condition holds a NUL character";
        if (c == ';') return "the condition may not hold a statement separator";
        if (c == '-' && i + 1 < where.size() && where[i + 1] == '-') return "the condition may not hold a comment";
        if (c == '/' && i + 1 < where.size() && where[i + 1] == '*') return "the condition may not hold a comment";
        if (c == '(') ++depth;
        if (c == ')' && --depth < 0) return "the condition closes a parenthesis it did not open";
    }
    if (depth != 0) return "the condition leaves a parenthesis open";
    return {};
}

bool isIdentifier(std::string_view name) {
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) return false;
    for (char c : name)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '_') return false;
    return true;
}

std::string checkOrderByText(std::string_view orderBy) {
    std::size_t start = 0;
    while (start <= orderBy.size()) {
        std::size_t comma = orderBy.find(',', start);
        std::string_view item = orderBy.substr(start, comma == std::string_view::npos ? std::string_view::npos : comma - start);
        // Split into blank-separated words.
        std::vector<std::string_view> words;
        std::size_t i = 0;
        while (i < item.size()) {
            while (i < item.size() && std::isspace(static_cast<unsigned char>(item[i]))) ++i;
            std::size_t j = i;
            while (j < item.size() && !std::isspace(static_cast<unsigned char>(item[j]))) ++j;
            if (j > i) words.push_back(item.substr(i, j - i));
            i = j;
        }
        if (words.empty() || words.size() > 2) return "the sort order must list column names";
        std::string_view column = words[0];
        std::size_t dot = column.find('.');
        bool ok = dot == std::string_view::npos ? isIdentifier(column)
                                                : isIdentifier(column.substr(0, dot)) && isIdentifier(column.substr(dot + 1));
        if (!ok) return "the sort order names an invalid column: " + std::string(column);
        if (words.size() == 2) {
            std::string dir = upperAscii(words[1]);
            if (dir != "ASC" && dir != "DESC") return "the sort direction must be ASC or DESC";
        }
        if (comma == std::string_view::npos) break;
        start = comma + 1;
    }
    return {};
}

}  // namespace corvane::appserver
