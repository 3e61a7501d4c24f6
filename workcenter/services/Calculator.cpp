#include "workcenter/services/Calculator.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace corvane::host {

namespace {

class Parser {
public:
    explicit Parser(std::string_view text) : text_(text) {}

    std::optional<double> parse() {
        std::optional<double> v = sum();
        skipBlanks();
        if (!v || pos_ != text_.size() || !std::isfinite(*v)) return std::nullopt;
        return v;
    }

private:
    static constexpr int kMaxDepth = 200;

    void skipBlanks() {
        while (pos_ < text_.size() && std::isspace(static_cast<unsigned char>(text_[pos_]))) ++pos_;
    }
    bool take(char c) {
        skipBlanks();
        if (pos_ < text_.size() && text_[pos_] == c) {
            ++pos_;
            return true;
        }
        return false;
    }

    std::optional<double> sum() {
        std::optional<double> v = product();
        while (v) {
            if (take('+')) {
                auto r = product();
                if (!r) return std::nullopt;
                *v += *r;
            } else if (take('-')) {
                auto r = product();
                if (!r) return std::nullopt;
                *v -= *r;
            } else {
                break;
            }
        }
        return v;
    }

    std::optional<double> product() {
        std::optional<double> v = unary();
        while (v) {
            if (take('*')) {
                auto r = unary();
                if (!r) return std::nullopt;
                *v *= *r;
            } else if (take('/')) {
                auto r = unary();
                if (!r || *r == 0) return std::nullopt;
                *v /= *r;
            } else {
                break;
            }
        }
        return v;
    }

    std::optional<double> unary() {
        if (++depth_ > kMaxDepth) return std::nullopt;
        std::optional<double> v;
        if (take('-')) {
            v = unary();
            if (v) *v = -*v;
        } else if (take('+')) {
            v = unary();
        } else if (take('(')) {
            v = sum();
            if (v && !take(')')) v.reset();
        } else {
            v = number();
        }
        --depth_;
        return v;
    }

    std::optional<double> number() {
        skipBlanks();
        std::size_t start = pos_;
        bool digits = false, dot = false;
        while (pos_ < text_.size()) {
            char c = text_[pos_];
            if (std::isdigit(static_cast<unsigned char>(c))) {
                digits = true;
            } else if (c == '.' && !dot) {
                dot = true;
            } else {
                break;
            }
            ++pos_;
        }
        if (!digits) return std::nullopt;
        return std::strtod(std::string(text_.substr(start, pos_ - start)).c_str(), nullptr);
    }

    std::string_view text_;
    std::size_t pos_ = 0;
    int depth_ = 0;
};

}  // namespace

std::optional<double> evaluateExpression(std::string_view expression) {
    if (expression.find_first_not_of(" \t") == std::string_view::npos) return std::nullopt;
    return Parser(expression).parse();
}

std::string formatCalcValue(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.10f", value);
    std::string text = buffer;
    if (text.find('.') != std::string::npos) {
        text.erase(text.find_last_not_of('0') + 1);
        if (text.back() == '.') text.pop_back();
    }
    if (text == "-0") text = "0";
    return text;
}

}  // namespace corvane::host
