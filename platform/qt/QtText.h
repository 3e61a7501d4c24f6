#pragma once

// Texts cross into Qt here: the model's GBK byte strings become QStrings
// and back. Nothing else in the renderer converts.

#include <QString>
#include <string>

#include "platform/core/CodePage.h"

namespace corvane::qt {

inline QString toQt(const std::string& gbk) { return QString::fromStdU16String(codePageToUtf16(gbk, CP_GBK)); }

inline std::string fromQt(const QString& text) { return utf16ToCodePage(text.toStdU16String(), CP_GBK); }

}  // namespace corvane::qt
