#pragma once

// Conversion between byte strings in the code pages the module uses
// (936 GBK, 950 BIG5, 437 OEM US) and UTF-16. Tables are built from iconv
// once per process; what does not map becomes '?' and nothing raises.

#include <string>
#include <string_view>

namespace corvane {

enum CodePageId : int {
    CP_GBK = 936,
    CP_BIG5 = 950,
    CP_OEM_US = 437,
};

bool isSupportedCodePage(int codePage);

// Decodes bytes in the code page (an unknown code page decodes as 936).
std::u16string codePageToUtf16(std::string_view bytes, int codePage = CP_GBK);
// Decodes and appends to out: bulk conversions reuse out's capacity.
void appendUtf16(std::string_view bytes, int codePage, std::u16string& out);
// Encodes UTF-16 in the code page (an unknown code page encodes as 936).
std::string utf16ToCodePage(std::u16string_view text, int codePage = CP_GBK);

// UTF-8 at the edges (files, the database, Qt, the console).
std::u16string utf8ToUtf16(std::string_view text);
std::string utf16ToUtf8(std::u16string_view text);
std::string gbkToUtf8(std::string_view gbk);
std::string utf8ToGbk(std::string_view utf8);

}  // namespace corvane
