#include "appserver/ServerText.h"

#include <cctype>
#include <ctime>

#include "platform/core/AsciiText.h"

namespace corvane::appserver {

std::string serverDateTime() {
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char buffer[32];
    std::strftime(buffer, sizeof buffer, "%Y%m%d %H:%M:%S", &local);
    return buffer;
}

std::size_t gbkLength(std::string_view utf8) { return utf16ToCodePage(utf8ToUtf16(utf8), 936).size(); }

}  // namespace corvane::appserver
