#include "Numbers.h"

#include <charconv>
#include <cmath>
#include <string>

namespace protocol {

namespace {

// One character of a text as a UTF-16 unit; a byte beyond ASCII is part of a UTF-8
// sequence, which never belongs to a number.
char16_t unitOf(QChar c) {
    return c.unicode();
}
char16_t unitOf(char c) {
    return static_cast<char16_t>(static_cast<unsigned char>(c));
}

bool isBlank(QChar c) {
    return c.isSpace();
}
bool isBlank(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u < 0x80 && QChar::isSpace(char32_t{u});
}

// Reads a number from a text, from its start on. The number's characters are kept in the
// form std::from_chars takes (no "+", no group commas).
template <typename View> class Scanner {
public:
    explicit Scanner(View text) : text_(text), size_(static_cast<qsizetype>(text.size())) {}

    bool atEnd() const { return at_ >= size_; }
    char16_t peek(qsizetype ahead = 0) const {
        return at_ + ahead < size_ ? unitOf(text_[at_ + ahead]) : u'\0';
    }
    bool isDigit(qsizetype ahead = 0) const {
        const char16_t u = peek(ahead);
        return u >= u'0' && u <= u'9';
    }
    void skipBlanks() {
        while (!atEnd() && isBlank(text_[at_]))
            ++at_;
    }
    void skipSpacesAndTabs() {
        while (peek() == u' ' || peek() == u'\t')
            ++at_;
    }
    bool skip(char16_t u) {
        if (atEnd() || peek() != u)
            return false;
        ++at_;
        return true;
    }

    // The number from here, with a sign when `plus` (or only "-" without it). False, and
    // nothing read, when no digit comes before or after the decimal point.
    bool number(bool plus, bool groups) {
        const qsizetype start = at_;
        chars_.clear();
        if (skip(u'-'))
            chars_ += '-';
        else if (plus)
            skip(u'+');
        const qsizetype whole = digits();
        if (groups && whole >= 1 && whole <= 3)
            while (peek() == u',' && isDigit(1) && isDigit(2) && isDigit(3)) {
                ++at_;
                digits(3);
            }
        qsizetype fraction = 0;
        if (peek() == u'.') {
            chars_ += '.';
            ++at_;
            fraction = digits();
        }
        if (whole == 0 && fraction == 0) {
            at_ = start;
            return false;
        }
        exponent();
        return true;
    }

    // The number read as a finite double; empty when it is out of range.
    std::optional<double> value() const {
        double v = 0;
        const char* last = chars_.data() + chars_.size();
        const auto [end, error] = std::from_chars(chars_.data(), last, v);
        if (error != std::errc() || end != last || !std::isfinite(v))
            return std::nullopt;
        return v;
    }

private:
    qsizetype digits(qsizetype most = -1) {
        qsizetype n = 0;
        while (n != most && isDigit()) {
            chars_ += static_cast<char>(peek());
            ++at_;
            ++n;
        }
        return n;
    }

    // An exponent counts only when digits follow it.
    void exponent() {
        if (peek() != u'e' && peek() != u'E')
            return;
        const qsizetype sign = peek(1) == u'+' || peek(1) == u'-' ? 1 : 0;
        if (!isDigit(1 + sign))
            return;
        chars_ += 'e';
        if (sign)
            chars_ += static_cast<char>(peek(1));
        at_ += 1 + sign;
        digits();
    }

    View text_;
    qsizetype size_;
    qsizetype at_ = 0;
    std::string chars_;
};

template <typename View> std::optional<double> parseWhole(View text, NumberForm form) {
    Scanner<View> scan(text);
    if (form.blanks) {
        scan.skipBlanks();
        if (form.plus && scan.skip(u'+'))
            scan.skipBlanks();
    }
    if (!scan.number(form.plus, form.groups))
        return std::nullopt;
    if (form.blanks)
        scan.skipBlanks();
    return scan.atEnd() ? scan.value() : std::nullopt;
}

} // namespace

std::optional<double> parseNumber(QStringView text, NumberForm form) {
    return parseWhole(text, form);
}

std::optional<double> parseNumber(std::string_view text, NumberForm form) {
    return parseWhole(text, form);
}

double leadingNumber(QStringView text) {
    Scanner<QStringView> scan(text);
    scan.skipSpacesAndTabs();
    if (!scan.number(true, false))
        return 0.0;
    return scan.value().value_or(0.0);
}

} // namespace protocol
