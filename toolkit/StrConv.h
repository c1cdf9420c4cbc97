// StrConv: the program's string and number conversions (integer parsing with
// the "$" hexadecimal prefix, hexadecimal and decimal rendering, trimming and
// a small Format for "%s"/"%d" style message texts). No window code here:
// the window-free units and the installer share it.
#pragma once

#include <concepts>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <string_view>

namespace tk {

// Texts of the window-free units. Each use names its string-table id
// (resources/StringIds.h) and carries the English text; the application
// installs a source that reads the active language's string table, so these
// units never touch a resource themselves. Without a source, or when the
// source has no text for an id (returns ""), the English text is used.
using StringSource = std::function<std::string(unsigned id)>;
// Installs the source for every later text; returns the previous one.
StringSource SetStringSource(StringSource source);
std::string StringFor(unsigned id, std::string_view english);

// Integer conversion rule used everywhere a user or a file gives a number:
// an optional "+" or "-", then either decimal digits or "$" followed by
// hexadecimal digits (either case). Nothing else is allowed: no blanks, no
// other prefixes, no trailing characters.
//  - Decimal values must lie in -2147483648..2147483647; anything beyond is
//    refused (no wrap).
//  - Hexadecimal values take up to eight significant digits and wrap into 32
//    bits, so "$FFFFFFFF" is -1 and "$80000000" is -2147483648. A ninth
//    significant digit is refused. A sign before "$" negates the wrapped value.
// Raises EConvertError "'<text>' is not a valid integer value".
std::int32_t StrToInt(std::string_view text);
// Same rule; false instead of raising, value untouched on failure.
bool TryStrToInt(std::string_view text, std::int32_t& value);

// Upper-case hexadecimal of the raw bits with at least `digits` digits.
std::string HexOfBits(std::uint64_t bits, int digits);

// Upper-case hexadecimal with at least `digits` digits. A negative value of a
// type up to 32 bits renders as its 32-bit two's complement
// (IntToHex(-1, 2) is "FFFFFFFF"); a negative 64-bit value takes 16 digits.
template <std::integral T>
std::string IntToHex(T value, int digits)
{
    if constexpr (sizeof(T) <= 4)
        return HexOfBits(static_cast<std::uint32_t>(value), digits);
    else
        return HexOfBits(static_cast<std::uint64_t>(value), digits);
}

std::string IntToStr(std::int64_t value);

// Removes leading and trailing characters whose code, read unsigned, is 32 or
// below (blanks and control characters); bytes of 0x80 and above stay.
std::string Trim(std::string_view text);
std::string TrimLeft(std::string_view text);
std::string TrimRight(std::string_view text);
// ASCII letters only; other bytes stay as they are.
std::string UpperCase(std::string_view text);

// One argument of Format: a text or an integer.
class FormatArg {
public:
    FormatArg(const char* text) : text_(text ? text : ""), isText_(true) {}
    FormatArg(std::string_view text) : text_(text), isText_(true) {}
    FormatArg(const std::string& text) : text_(text), isText_(true) {}
    FormatArg(char c) : text_(1, c), isText_(true) {}
    template <std::integral T>
    FormatArg(T value) : number_(static_cast<std::int64_t>(value)), isText_(false) {}

    bool IsText() const { return isText_; }
    const std::string& Text() const { return text_; }
    std::int64_t Number() const { return number_; }

private:
    std::string text_;
    std::int64_t number_ = 0;
    bool isText_;
};

// Formats a message text of the string table by these rules:
// "%" ["-"] [width] ["." precision] type, with type
//   s  a text (precision = most characters taken),
//   d  a signed integer (precision = least digits),
//   u  an unsigned 32-bit integer,
//   x  upper-case hexadecimal (precision = least digits),
// and "%%" for a percent sign. A missing or mismatching argument raises
// EConvertError "Format '<format>' invalid or incompatible with argument".
std::string Format(std::string_view format, std::initializer_list<FormatArg> args);

} // namespace tk
