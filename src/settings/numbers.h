#pragma once
// The number rules of every entry field, the settings file and the command-line tool.
// A text that passes a check here converts to the same value wherever it is used.
// "." is the decimal separator whatever the locale.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace kerf {

// Decimal: optional spaces, optional "+"/"-", digits with at most one "." (at least one
// digit), optional exponent "E"/"e" with optional sign and digits, optional spaces.
// Nothing else: no ",", no "inf"/"nan", no hex floats, no value outside the double range.
std::optional<double> parse_decimal(std::string_view text);

// Whole number: optional leading spaces, optional sign, decimal digits, nothing after
// them (a trailing space fails); or a hexadecimal number after "$", "x", "X", "0x", "0X".
// The value must lie in the signed 32-bit range.
std::optional<std::int32_t> parse_whole(std::string_view text);

// "%f" of the program's messages: fixed notation, exactly two decimals, "." (6.8/3 -> "2.27").
std::string format_fixed2(double value);

// The "scale" value of the settings file: shortest general form, up to 15 significant
// digits, "." (0 -> "0", 2.5 -> "2.5").
std::string format_general(double value);

}  // namespace kerf
