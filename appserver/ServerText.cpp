#include "appserver/ServerText.h"

#include <cctype>
#include <ctime>

namespace corvane::appserver {

std::string upperAscii(std::string_view s) {
    std::string r(s);
    for (char& c : r) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return r;
}

std::string trimmed(std::string_view s) {
    std::size_t a = s.find_first_not_of(" \t\r\n");
    if (a == std::string_view::npos) return {};
    std::size_t b = s.find_last_not_of(" \t\r\n");
    return std::string(s.substr(a, b - a + 1));
}

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
