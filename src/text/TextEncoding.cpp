#include "text/TextEncoding.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cwctype>
#include <iconv.h>
#include <locale.h>
#include <wctype.h>

namespace lt {

std::size_t validUtf8Length(std::string_view s)
{
    const auto* begin = reinterpret_cast<const unsigned char*>(s.data());
    const auto* p = begin;
    const auto* end = p + s.size();
    while (p < end) {
        unsigned char c = *p;
        if (c < 0x80) {
            ++p;
            continue;
        }
        int len;
        std::uint32_t cp;
        if ((c & 0xE0) == 0xC0) {
            len = 2;
            cp = c & 0x1F;
        } else if ((c & 0xF0) == 0xE0) {
            len = 3;
            cp = c & 0x0F;
        } else if ((c & 0xF8) == 0xF0) {
            len = 4;
            cp = c & 0x07;
        } else {
            break;
        }
        if (end - p < len)
            break;
        bool ok = true;
        for (int k = 1; k < len && ok; ++k) {
            ok = (p[k] & 0xC0) == 0x80;
            cp = (cp << 6) | (p[k] & 0x3F);
        }
        if (!ok || (len == 2 && cp < 0x80) || (len == 3 && cp < 0x800) || (len == 4 && cp < 0x10000)
            || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            break;
        p += len;
    }
    return static_cast<std::size_t>(p - begin);
}

namespace {

// Whether tail is the start of a UTF-8 sequence that goes on beyond it.
bool isCutUtf8Sequence(std::string_view tail)
{
    if (tail.empty())
        return false;
    const auto c = static_cast<unsigned char>(tail[0]);
    const std::size_t len = c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
    if (tail.size() >= len)
        return false;
    for (std::size_t k = 1; k < tail.size(); ++k)
        if ((static_cast<unsigned char>(tail[k]) & 0xC0) != 0x80)
            return false;
    return true;
}

// One converter per thread, opened once: a GB18030 list converts every line.
class Gb18030Converter {
public:
    Gb18030Converter() : cd_(iconv_open("UTF-8", "GB18030")) {}
    ~Gb18030Converter()
    {
        if (ok())
            iconv_close(cd_);
    }
    Gb18030Converter(const Gb18030Converter&) = delete;
    Gb18030Converter& operator=(const Gb18030Converter&) = delete;
    bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    iconv_t get() const { return cd_; }

private:
    iconv_t cd_;
};

std::string fromGb18030(std::string_view raw)
{
    thread_local Gb18030Converter converter;
    if (!converter.ok())
        return std::string(raw);
    iconv_t cd = converter.get();
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string out(raw.size() * 2 + 16, '\0');
    char* in = const_cast<char*>(raw.data());
    std::size_t inLeft = raw.size();
    char* o = out.data();
    std::size_t oLeft = out.size();
    auto grow = [&] {
        const std::size_t used = static_cast<std::size_t>(o - out.data());
        out.resize(out.size() * 2);
        o = out.data() + used;
        oLeft = out.size() - used;
    };
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &o, &oLeft) != static_cast<std::size_t>(-1))
            break;
        if (errno == E2BIG) {
            grow();
            continue;
        }
        // A byte GB18030 cannot read here (an invalid or cut sequence): kept.
        if (oLeft == 0)
            grow();
        *o++ = *in++;
        --oLeft;
        --inLeft;
    }
    out.resize(static_cast<std::size_t>(o - out.data()));
    return out;
}

} // namespace

bool isValidUtf8(std::string_view s)
{
    return validUtf8Length(s) == s.size();
}

FileEncoding encodingOfSample(std::string_view sample, bool endsFile)
{
    const std::size_t valid = validUtf8Length(sample);
    if (valid == sample.size() || (!endsFile && isCutUtf8Sequence(sample.substr(valid))))
        return FileEncoding::Utf8;
    return FileEncoding::Gb18030;
}

std::string decodeText(std::string&& raw, FileEncoding encoding)
{
    if (encoding == FileEncoding::Utf8)
        return std::move(raw);
    // ASCII reads the same in both encodings.
    const bool ascii = std::all_of(raw.begin(), raw.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    if (ascii)
        return std::move(raw);
    return fromGb18030(raw);
}

std::string decodeFileText(std::string&& raw)
{
    const FileEncoding encoding = encodingOfSample(raw, true);
    return decodeText(std::move(raw), encoding);
}

std::string escapeNonUtf8Bytes(std::string_view text)
{
    static const char hex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(text.size());
    for (;;) {
        const std::size_t valid = validUtf8Length(text);
        out.append(text.substr(0, valid));
        text.remove_prefix(valid);
        if (text.empty())
            return out;
        const auto c = static_cast<unsigned char>(text.front());
        out += '%';
        out += hex[c >> 4];
        out += hex[c & 15];
        text.remove_prefix(1);
    }
}

static void appendUtf8(std::string& out, std::uint32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

namespace {

// Letter case of non-ASCII characters folded by Unicode rules, whatever
// locale the process runs in (the "C" locale folds ASCII only).
std::uint32_t lowerCodePoint(std::uint32_t cp)
{
    static const locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
    if (utf8)
        return static_cast<std::uint32_t>(towlower_l(static_cast<wint_t>(cp), utf8));
    return static_cast<std::uint32_t>(std::towlower(static_cast<wint_t>(cp)));
}

// Walks a text one folded character at a time: ASCII letters lower-cased,
// UTF-8 sequences decoded and folded, other bytes as they are (marked so they
// never equal a decoded character).
class FoldedChars {
public:
    explicit FoldedChars(std::string_view s)
        : p_(reinterpret_cast<const unsigned char*>(s.data())), end_(p_ + s.size())
    {
    }
    bool done() const { return p_ >= end_; }
    std::uint32_t next()
    {
        const unsigned char c = *p_;
        if (c < 0x80) {
            ++p_;
            return (c >= 'A' && c <= 'Z') ? c + 32u : c;
        }
        const int len = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
        if (len > 1 && end_ - p_ >= len) {
            std::uint32_t cp = c & (0x7Fu >> len);
            bool ok = true;
            for (int k = 1; k < len; ++k) {
                if ((p_[k] & 0xC0) != 0x80) {
                    ok = false;
                    break;
                }
                cp = (cp << 6) | (p_[k] & 0x3Fu);
            }
            if (ok) {
                p_ += len;
                return lowerCodePoint(cp);
            }
        }
        ++p_;
        return 0x80000000u | c;
    }

private:
    const unsigned char* p_;
    const unsigned char* end_;
};

} // namespace

bool equalIgnoringCase(std::string_view a, std::string_view b)
{
    FoldedChars x(a), y(b);
    while (!x.done() && !y.done())
        if (x.next() != y.next())
            return false;
    return x.done() && y.done();
}

std::uint64_t foldedHash(std::string_view text)
{
    // FNV-1a over the folded characters, then a final mix for the low bits.
    std::uint64_t h = 1469598103934665603ull;
    FoldedChars c(text);
    while (!c.done()) {
        h ^= c.next();
        h *= 1099511628211ull;
    }
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdull;
    h ^= h >> 33;
    return h;
}

std::string foldCase(std::string_view s)
{
    std::string out;
    out.reserve(s.size());
    const auto* p = reinterpret_cast<const unsigned char*>(s.data());
    const auto* end = p + s.size();
    while (p < end) {
        unsigned char c = *p;
        if (c < 0x80) {
            out += (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : static_cast<char>(c);
            ++p;
            continue;
        }
        // Non-ASCII: decode one UTF-8 sequence and fold it; bytes that are
        // not UTF-8 are compared as they are.
        int len = (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 1;
        if (len == 1 || end - p < len) {
            out += static_cast<char>(c);
            ++p;
            continue;
        }
        std::uint32_t cp = c & (0x7F >> len);
        bool ok = true;
        for (int k = 1; k < len; ++k) {
            if ((p[k] & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (p[k] & 0x3F);
        }
        if (!ok) {
            out += static_cast<char>(c);
            ++p;
            continue;
        }
        appendUtf8(out, lowerCodePoint(cp));
        p += len;
    }
    return out;
}

} // namespace lt
