#pragma once

// Small text helpers of the server: UTF-8 <-> UTF-16 variants and the
// 17-character date-time.

#include <string>
#include <string_view>

#include "platform/core/AsciiText.h"
#include "platform/core/CodePage.h"
#include "platform/core/Variant.h"

namespace corvane::appserver {

inline Variant wide(std::string_view utf8) { return Variant(utf8ToUtf16(utf8)); }
inline std::string utf8Of(const Variant& v) { return v.deref().isNullOrEmpty() ? std::string() : utf16ToUtf8(v.deref().toWide()); }
// "YYYYMMDD HH:MM:SS" in local time.
std::string serverDateTime();
// Bytes the text takes in code page 936.
std::size_t gbkLength(std::string_view utf8);

}  // namespace corvane::appserver
