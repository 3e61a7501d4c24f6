#include "platform/core/CodePage.h"

#include <iconv.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <vector>

namespace corvane {

namespace {

constexpr char16_t kUnmapped = 0;
constexpr std::uint16_t kNoCode = 0xFFFF;
constexpr char kReplacement = '?';

// One code page as lookup tables, built from iconv once per process.
struct CodePageTable {
    std::array<bool, 256> lead{};             // lead byte of a double-byte character
    std::array<char16_t, 256> single{};       // single-byte characters (0 for none)
    std::vector<char16_t> pair;               // (lead << 8 | trail) -> UTF-16, 0 for none
    std::vector<std::uint16_t> encode;        // UTF-16 unit -> code (< 0x100 single byte)
};

class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~IconvHandle() {
        if (valid()) iconv_close(cd_);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // The one UTF-16 unit the bytes decode to, or 0.
    char16_t decodeOne(const unsigned char* bytes, std::size_t size) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char in[2];
        std::memcpy(in, bytes, size);
        char16_t out[4] = {};
        char* inPtr = in;
        char* outPtr = reinterpret_cast<char*>(out);
        std::size_t inLeft = size;
        std::size_t outLeft = sizeof out;
        if (iconv(cd_, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<std::size_t>(-1)) return kUnmapped;
        if (inLeft != 0 || sizeof out - outLeft != sizeof(char16_t)) return kUnmapped;
        return out[0];
    }

private:
    iconv_t cd_;
};

const char* iconvName(int codePage) {
    switch (codePage) {
    case CP_BIG5: return "CP950";
    case CP_OEM_US: return "CP437";
    default: return "CP936";
    }
}

std::unique_ptr<CodePageTable> buildTable(int codePage) {
    auto table = std::make_unique<CodePageTable>();
    table->encode.assign(0x10000, kNoCode);
    IconvHandle decoder("UTF-16LE", iconvName(codePage));
    if (!decoder.valid()) return table;

    const bool doubleByte = codePage != CP_OEM_US;
    for (int b = 0; b < 256; ++b) {
        unsigned char byte = static_cast<unsigned char>(b);
        char16_t u = b == 0 ? u'\0' : decoder.decodeOne(&byte, 1);
        if (u != kUnmapped || b == 0) {
            table->single[b] = u;
            table->encode[u] = static_cast<std::uint16_t>(b);
        }
    }
    if (!doubleByte) return table;

    table->pair.assign(0x10000, kUnmapped);
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
        if (table->single[lead] != kUnmapped) continue;
        bool any = false;
        for (int trail = 0x40; trail <= 0xFE; ++trail) {
            unsigned char bytes[2] = {static_cast<unsigned char>(lead), static_cast<unsigned char>(trail)};
            char16_t u = decoder.decodeOne(bytes, 2);
            if (u == kUnmapped) continue;
            any = true;
            std::uint16_t code = static_cast<std::uint16_t>(lead << 8 | trail);
            table->pair[code] = u;
            if (table->encode[u] == kNoCode) table->encode[u] = code;
        }
        table->lead[lead] = any;
    }
    return table;
}

int normalisedCodePage(int codePage) {
    return isSupportedCodePage(codePage) ? codePage : CP_GBK;
}

const CodePageTable& tableFor(int codePage) {
    static std::once_flag flags[3];
    static std::unique_ptr<CodePageTable> tables[3];
    codePage = normalisedCodePage(codePage);
    int slot = codePage == CP_GBK ? 0 : codePage == CP_BIG5 ? 1 : 2;
    std::call_once(flags[slot], [&] { tables[slot] = buildTable(codePage); });
    return *tables[slot];
}

constexpr std::uint64_t kHighBits = 0x8080808080808080ULL;

}  // namespace

bool isSupportedCodePage(int codePage) {
    return codePage == CP_GBK || codePage == CP_BIG5 || codePage == CP_OEM_US;
}

namespace {

// Widens a run of ASCII bytes; returns how many it took (stops before the
// first byte at or above 0x80).
std::size_t widenAscii(const unsigned char* p, std::size_t n, char16_t* out) {
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    while (i + 16 <= n) {
        __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        if (_mm_movemask_epi8(bytes) != 0) break;
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_unpacklo_epi8(bytes, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i + 8), _mm_unpackhi_epi8(bytes, zero));
        i += 16;
    }
#endif
    while (i + 8 <= n) {
        std::uint64_t word;
        std::memcpy(&word, p + i, 8);
        if (word & kHighBits) break;
        for (int k = 0; k < 8; ++k) out[i + k] = p[i + k];
        i += 8;
    }
    while (i < n && p[i] < 0x80) {
        out[i] = p[i];
        ++i;
    }
    return i;
}

}  // namespace

namespace {

// Decodes as much of p[0..n) as fits into out[0..room) (room >= 2 leaves
// space for one character); returns {bytes taken, units written}.
std::pair<std::size_t, std::size_t> decodeChunk(const CodePageTable& t, const unsigned char* p, std::size_t n,
                                                char16_t* out, std::size_t room) {
    const char16_t* pair = t.pair.empty() ? nullptr : t.pair.data();
    std::size_t i = 0, o = 0;
    while (i < n && o < room) {
        // Runs of double-byte characters, four at a time. The pair table is
        // zero for ASCII and for every byte that leads no character, so one
        // test sends anything else to the careful path below.
        if (pair) {
            while (i + 8 <= n && o + 4 <= room) {
                char16_t u0 = pair[p[i] << 8 | p[i + 1]];
                char16_t u1 = pair[p[i + 2] << 8 | p[i + 3]];
                char16_t u2 = pair[p[i + 4] << 8 | p[i + 5]];
                char16_t u3 = pair[p[i + 6] << 8 | p[i + 7]];
                if ((u0 == 0) | (u1 == 0) | (u2 == 0) | (u3 == 0)) break;
                out[o] = u0;
                out[o + 1] = u1;
                out[o + 2] = u2;
                out[o + 3] = u3;
                o += 4;
                i += 8;
            }
            if (i >= n || o >= room) break;
        }
        unsigned c = p[i];
        if (c < 0x80) {
            std::size_t run = widenAscii(p + i, std::min(n - i, room - o), out + o);
            o += run;
            i += run;
            continue;
        }
        // The pair table is zero for every byte that leads no character, so
        // the common case needs no lead-byte test.
        if (pair && i + 1 < n) {
            char16_t u = pair[c << 8 | p[i + 1]];
            if (u != kUnmapped) {
                out[o++] = u;
                i += 2;
                continue;
            }
        }
        if (t.lead[c]) {
            out[o++] = kReplacement;
            // A trail byte in range belongs to this (unmapped) character.
            i += (i + 1 < n && p[i + 1] >= 0x40) ? 2 : 1;
        } else {
            char16_t u = t.single[c];
            out[o++] = u != kUnmapped ? u : kReplacement;
            ++i;
        }
    }
    return {i, o};
}

}  // namespace

std::u16string codePageToUtf16(std::string_view bytes, int codePage) {
    std::u16string result;
    if (bytes.size() <= 256) {  // short texts (field values) decode in place
        const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
        result.resize(bytes.size());
        result.resize(decodeChunk(tableFor(codePage), p, bytes.size(), result.data(), bytes.size()).second);
        return result;
    }
    result.reserve(bytes.size());
    appendUtf16(bytes, codePage, result);
    return result;
}

void appendUtf16(std::string_view bytes, int codePage, std::u16string& out) {
    const CodePageTable& t = tableFor(codePage);
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
    const std::size_t n = bytes.size();
    // Through a small buffer: the result is never filled with zeros first
    // and only the pages it needs are touched.
    char16_t chunk[4096];
    for (std::size_t i = 0; i < n;) {
        auto [taken, written] = decodeChunk(t, p + i, n - i, chunk, std::size(chunk));
        out.append(chunk, written);
        i += taken;
    }
}

std::string utf16ToCodePage(std::u16string_view text, int codePage) {
    const CodePageTable& t = tableFor(codePage);
    const std::uint16_t* encode = t.encode.data();
    const std::size_t n = text.size();
    std::string result(n * 2, '\0');
    char* out = result.data();
    for (std::size_t i = 0; i < n; ++i) {
        char16_t u = text[i];
        if (u < 0x80) {
            *out++ = static_cast<char>(u);
            continue;
        }
        std::uint16_t code = encode[u];
        if (code >= 0x100 && code != kNoCode) {
            *out++ = static_cast<char>(code >> 8);
            *out++ = static_cast<char>(code & 0xFF);
            continue;
        }
        if (u >= 0xD800 && u <= 0xDFFF) {
            // Nothing beyond the BMP is in our code pages; a pair is one character.
            if (u <= 0xDBFF && i + 1 < n && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) ++i;
            code = kNoCode;
        }
        *out++ = code == kNoCode ? kReplacement : static_cast<char>(code);
    }
    result.resize(static_cast<std::size_t>(out - result.data()));
    return result;
}

std::u16string utf8ToUtf16(std::string_view text) {
    std::u16string result;
    result.reserve(text.size());
    const auto* p = reinterpret_cast<const unsigned char*>(text.data());
    const std::size_t n = text.size();
    std::size_t i = 0;
    auto continuation = [&](std::size_t k) { return i + k < n && (p[i + k] & 0xC0) == 0x80; };
    while (i < n) {
        unsigned char c = p[i];
        char32_t cp = 0xFFFD;
        std::size_t len = 1;
        if (c < 0x80) {
            cp = c;
        } else if ((c & 0xE0) == 0xC0 && continuation(1)) {
            cp = (c & 0x1Fu) << 6 | (p[i + 1] & 0x3Fu);
            len = 2;
            if (cp < 0x80) cp = 0xFFFD;
        } else if ((c & 0xF0) == 0xE0 && continuation(1) && continuation(2)) {
            cp = (c & 0x0Fu) << 12 | (p[i + 1] & 0x3Fu) << 6 | (p[i + 2] & 0x3Fu);
            len = 3;
            if (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
        } else if ((c & 0xF8) == 0xF0 && continuation(1) && continuation(2) && continuation(3)) {
            cp = (c & 0x07u) << 18 | (p[i + 1] & 0x3Fu) << 12 | (p[i + 2] & 0x3Fu) << 6 | (p[i + 3] & 0x3Fu);
            len = 4;
            if (cp < 0x10000 || cp > 0x10FFFF) cp = 0xFFFD;
        }
        if (cp >= 0x10000) {
            cp -= 0x10000;
            result.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            result.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            result.push_back(static_cast<char16_t>(cp));
        }
        i += len;
    }
    return result;
}

std::string utf16ToUtf8(std::u16string_view text) {
    std::string result;
    result.reserve(text.size() * 3);
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (cp >= 0xD800 && cp <= 0xDFFF) {
            cp = 0xFFFD;
        }
        if (cp < 0x80) {
            result.push_back(static_cast<char>(cp));
        } else if (cp < 0x800) {
            result.push_back(static_cast<char>(0xC0 | cp >> 6));
            result.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else if (cp < 0x10000) {
            result.push_back(static_cast<char>(0xE0 | cp >> 12));
            result.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
            result.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        } else {
            result.push_back(static_cast<char>(0xF0 | cp >> 18));
            result.push_back(static_cast<char>(0x80 | (cp >> 12 & 0x3F)));
            result.push_back(static_cast<char>(0x80 | (cp >> 6 & 0x3F)));
            result.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
        }
    }
    return result;
}

std::string gbkToUtf8(std::string_view gbk) {
    return utf16ToUtf8(codePageToUtf16(gbk, CP_GBK));
}

std::string utf8ToGbk(std::string_view utf8) {
    return utf16ToCodePage(utf8ToUtf16(utf8), CP_GBK);
}

}  // namespace corvane
