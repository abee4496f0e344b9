#include "numbers.h"

#include <charconv>
#include <cstdint>
#include <limits>
#include <system_error>

// The grammar is checked here, character by character, before anything converts:
// std::from_chars and std::to_chars never look at the user's locale, and what they
// would accept beyond the grammar ("inf", "nan", hex) never reaches them.

namespace kerf {
namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

int hex_value(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Skips spaces (only " ": the separator a user types) from position i.
std::size_t skip_spaces(std::string_view s, std::size_t i) {
    while (i < s.size() && s[i] == ' ') ++i;
    return i;
}

// Value of the digits of s (base 10 or 16) when it does not exceed limit.
std::optional<std::uint32_t> magnitude(std::string_view digits, int base, std::uint32_t limit) {
    if (digits.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (char c : digits) {
        const int d = base == 16 ? hex_value(c) : (is_digit(c) ? c - '0' : -1);
        if (d < 0) return std::nullopt;
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(d);
        if (value > limit) return std::nullopt;  // leading zeros never get here
    }
    return static_cast<std::uint32_t>(value);
}

}  // namespace

std::optional<double> parse_decimal(std::string_view text) {
    std::size_t i = skip_spaces(text, 0);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    const std::size_t body = i;

    // Mantissa: digits with at most one ".", at least one digit in all.
    // decimal_exponent tracks where the first significant digit stands, so that an
    // out-of-range result can be told apart as too large or merely too small.
    std::int64_t digits = 0;
    std::int64_t int_digits = 0;     // significant digits before the "."
    std::int64_t leading_zeros = 0;  // zeros after the "." before the first significant one
    bool seen_point = false;
    bool seen_significant = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (is_digit(c)) {
            ++digits;
            if (c != '0') seen_significant = true;
            if (!seen_point && seen_significant) ++int_digits;
            if (seen_point && !seen_significant) ++leading_zeros;
        } else if (c == '.' && !seen_point) {
            seen_point = true;
        } else {
            break;
        }
    }
    if (digits == 0) return std::nullopt;

    // Exponent: "E" or "e", an optional sign, at least one digit.
    std::int64_t exponent = 0;
    if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
        ++i;
        bool exp_negative = false;
        if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
            exp_negative = text[i] == '-';
            ++i;
        }
        const std::size_t exp_start = i;
        for (; i < text.size() && is_digit(text[i]); ++i) {
            if (exponent < 1'000'000'000) exponent = exponent * 10 + (text[i] - '0');
        }
        if (i == exp_start) return std::nullopt;
        if (exp_negative) exponent = -exponent;
    }
    const std::size_t body_end = i;

    if (skip_spaces(text, i) != text.size()) return std::nullopt;

    double value = 0;
    const char* first = text.data() + body;
    const char* last = text.data() + body_end;
    const auto [end, ec] = std::from_chars(first, last, value, std::chars_format::general);
    if (ec == std::errc::result_out_of_range) {
        // Too large for a double: not a number the program can use. Too small to be told
        // from zero (1e-400): it is zero, the nearest double, as the user plainly means.
        const std::int64_t magnitude10 = (int_digits > 0 ? int_digits : -leading_zeros) + exponent;
        if (magnitude10 > 0) return std::nullopt;
        value = 0;
    } else if (ec != std::errc() || end != last) {
        return std::nullopt;  // cannot happen after the grammar check; refuse rather than guess
    }
    return negative ? -value : value;
}

std::optional<std::int32_t> parse_whole(std::string_view text) {
    std::size_t i = skip_spaces(text, 0);
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::string_view rest = text.substr(i);

    // The sign applies to both forms: "-$10" is -16, as "-16" is.
    int base = 10;
    if (rest.starts_with('$') || rest.starts_with('x') || rest.starts_with('X')) {
        base = 16;
        rest.remove_prefix(1);
    } else if (rest.starts_with("0x") || rest.starts_with("0X")) {
        base = 16;
        rest.remove_prefix(2);
    }

    // The signed 32-bit range, for hex as for decimal: "$FFFFFFFF" is 4294967295 to the
    // user who typed it, so it is out of range, not a disguised -1.
    const std::uint32_t limit = negative ? 0x80000000u : 0x7FFFFFFFu;
    const auto value = magnitude(rest, base, limit);
    if (!value) return std::nullopt;
    if (negative) return static_cast<std::int32_t>(-static_cast<std::int64_t>(*value));
    return static_cast<std::int32_t>(*value);
}

std::string format_fixed2(double value) {
    // Correctly rounded from the double's exact value, as printf("%.2f") does.
    char buffer[400];  // the largest double has 309 integer digits
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    return std::string(buffer, result.ptr);
}

std::string format_general(double value) {
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 15);
    return std::string(buffer, result.ptr);
}

}  // namespace kerf
