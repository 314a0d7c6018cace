#include "text/IntegerText.h"

#include "base/Error.h"

#include <charconv>

namespace lt {

bool tryStrToInt(std::string_view s, std::int32_t& value)
{
    std::size_t i = 0;
    while (i < s.size() && s[i] == ' ')
        ++i;
    bool negative = false;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) {
        negative = s[i] == '-';
        ++i;
    }
    bool hex = false;
    if (i < s.size() && s[i] == '$') {
        hex = true;
        ++i;
    } else if (i < s.size() && (s[i] == 'x' || s[i] == 'X')) {
        hex = true;
        ++i;
    } else if (i + 1 < s.size() && s[i] == '0' && (s[i + 1] == 'x' || s[i + 1] == 'X')) {
        hex = true;
        i += 2;
    }
    if (i >= s.size())
        return false;

    std::uint64_t acc = 0;
    for (; i < s.size(); ++i) {
        const char c = s[i];
        unsigned digit;
        if (c >= '0' && c <= '9')
            digit = static_cast<unsigned>(c - '0');
        else if (hex && c >= 'a' && c <= 'f')
            digit = static_cast<unsigned>(c - 'a' + 10);
        else if (hex && c >= 'A' && c <= 'F')
            digit = static_cast<unsigned>(c - 'A' + 10);
        else
            return false;
        acc = acc * (hex ? 16u : 10u) + digit;
        if (acc > 0xFFFFFFFFull)
            return false;
    }

    if (hex) {
        // Hexadecimal covers the full 32 bits, so "$FFFFFFFF" is -1.
        std::uint32_t bits = static_cast<std::uint32_t>(acc);
        if (negative)
            bits = 0u - bits;
        value = static_cast<std::int32_t>(bits);
        return true;
    }
    if (negative) {
        if (acc > 2147483648ull)
            return false;
        value = static_cast<std::int32_t>(-static_cast<std::int64_t>(acc));
    } else {
        if (acc > 2147483647ull)
            return false;
        value = static_cast<std::int32_t>(acc);
    }
    return true;
}

std::int32_t strToInt(std::string_view text)
{
    std::int32_t value = 0;
    if (!tryStrToInt(text, value))
        throw Error("'" + std::string(text) + "' is not a valid integer value");
    return value;
}

void appendInt(std::string& out, std::int32_t value)
{
    char buf[16];
    auto r = std::to_chars(buf, buf + sizeof buf, value);
    out.append(buf, r.ptr);
}

std::string intToStr(std::int32_t value)
{
    std::string s;
    appendInt(s, value);
    return s;
}

} // namespace lt
