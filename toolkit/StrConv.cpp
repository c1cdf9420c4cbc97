// StrConv: string and number conversions shared by every unit.
#include "toolkit/StrConv.h"

#include "toolkit/Exceptions.h"
#include "toolkit/ToolkitStringIds.h"

#include <utility>

namespace tk {

namespace {

StringSource gStringSource;

int HexDigitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

bool IsTrimmed(char c) { return static_cast<unsigned char>(c) <= 32; }

} // namespace

StringSource SetStringSource(StringSource source)
{
    StringSource previous = std::move(gStringSource);
    gStringSource = std::move(source);
    return previous;
}

std::string StringFor(unsigned id, std::string_view english)
{
    if (gStringSource) {
        std::string text = gStringSource(id);
        if (!text.empty())
            return text;
    }
    return std::string(english);
}

bool TryStrToInt(std::string_view text, std::int32_t& value)
{
    std::size_t pos = 0;
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    if (pos < text.size() && text[pos] == '$') {
        ++pos;
        if (pos == text.size())
            return false;
        std::uint32_t bits = 0;
        for (; pos < text.size(); ++pos) {
            int digit = HexDigitValue(text[pos]);
            if (digit < 0 || bits > 0x0FFFFFFFu)
                return false;
            bits = (bits << 4) | static_cast<std::uint32_t>(digit);
        }
        if (negative)
            bits = 0u - bits;
        value = static_cast<std::int32_t>(bits);
        return true;
    }
    if (pos == text.size())
        return false;
    // Accumulate the magnitude in 64 bits so that -2147483648 is reachable
    // and anything beyond the 32-bit range is caught before it could wrap.
    std::int64_t magnitude = 0;
    for (; pos < text.size(); ++pos) {
        char c = text[pos];
        if (c < '0' || c > '9')
            return false;
        magnitude = magnitude * 10 + (c - '0');
        if (magnitude > 2147483648LL)
            return false;
    }
    if (negative)
        magnitude = -magnitude;
    if (magnitude > 2147483647LL)
        return false;
    value = static_cast<std::int32_t>(magnitude);
    return true;
}

std::int32_t StrToInt(std::string_view text)
{
    std::int32_t value = 0;
    if (!TryStrToInt(text, value))
        throw EConvertError(Format(StringFor(S_TK_NOT_A_VALID_INTEGER, "'%s' is not a valid integer value"), {text}));
    return value;
}

std::string HexOfBits(std::uint64_t bits, int digits)
{
    static const char hexDigits[] = "0123456789ABCDEF";
    std::string result;
    do {
        result.insert(result.begin(), hexDigits[bits & 0xF]);
        bits >>= 4;
    } while (bits != 0);
    if (static_cast<int>(result.size()) < digits)
        result.insert(0, static_cast<std::size_t>(digits) - result.size(), '0');
    return result;
}

std::string IntToStr(std::int64_t value) { return std::to_string(value); }

std::string TrimLeft(std::string_view text)
{
    std::size_t first = 0;
    while (first < text.size() && IsTrimmed(text[first]))
        ++first;
    return std::string(text.substr(first));
}

std::string TrimRight(std::string_view text)
{
    std::size_t end = text.size();
    while (end > 0 && IsTrimmed(text[end - 1]))
        --end;
    return std::string(text.substr(0, end));
}

std::string Trim(std::string_view text) { return TrimLeft(TrimRight(text)); }

std::string UpperCase(std::string_view text)
{
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return result;
}

std::string Format(std::string_view format, std::initializer_list<FormatArg> args)
{
    auto invalid = [&]() {
        // Plain substitution: formatting this message must not fail in turn.
        std::string message = StringFor(S_TK_FORMAT_INVALID, "Format '%s' invalid or incompatible with argument");
        std::size_t slot = message.find("%s");
        if (slot != std::string::npos)
            message.replace(slot, 2, format);
        return EConvertError(message);
    };
    std::string result;
    const FormatArg* next = args.begin();
    std::size_t i = 0;
    while (i < format.size()) {
        char c = format[i++];
        if (c != '%') {
            result += c;
            continue;
        }
        if (i < format.size() && format[i] == '%') {
            result += '%';
            ++i;
            continue;
        }
        bool leftAlign = false;
        if (i < format.size() && format[i] == '-') {
            leftAlign = true;
            ++i;
        }
        auto readNumber = [&]() {
            int n = 0;
            while (i < format.size() && format[i] >= '0' && format[i] <= '9' && n < 100000)
                n = n * 10 + (format[i++] - '0');
            return n;
        };
        int width = readNumber();
        int precision = -1;
        if (i < format.size() && format[i] == '.') {
            ++i;
            precision = readNumber();
        }
        if (i >= format.size() || next == args.end())
            throw invalid();
        const FormatArg& arg = *next++;
        char type = static_cast<char>(format[i++] | 0x20);
        std::string piece;
        switch (type) {
        case 's':
            if (!arg.IsText())
                throw invalid();
            piece = arg.Text();
            if (precision >= 0 && static_cast<std::size_t>(precision) < piece.size())
                piece.resize(static_cast<std::size_t>(precision));
            break;
        case 'd':
        case 'u':
        case 'x': {
            if (arg.IsText())
                throw invalid();
            std::int64_t number = arg.Number();
            bool negative = false;
            if (type == 'x') {
                piece = number < 0 && number >= INT32_MIN ? HexOfBits(static_cast<std::uint32_t>(number), 0)
                                                          : HexOfBits(static_cast<std::uint64_t>(number), 0);
            } else if (type == 'u' && number < 0 && number >= INT32_MIN) {
                piece = std::to_string(static_cast<std::uint32_t>(number));
            } else {
                negative = number < 0;
                piece = std::to_string(number);
                if (negative)
                    piece.erase(0, 1);
            }
            if (precision > 0 && static_cast<std::size_t>(precision) > piece.size())
                piece.insert(0, static_cast<std::size_t>(precision) - piece.size(), '0');
            if (negative)
                piece.insert(0, 1, '-');
            break;
        }
        default:
            throw invalid();
        }
        if (static_cast<std::size_t>(width) > piece.size()) {
            std::string pad(static_cast<std::size_t>(width) - piece.size(), ' ');
            piece = leftAlign ? piece + pad : pad + piece;
        }
        result += piece;
    }
    return result;
}

} // namespace tk
