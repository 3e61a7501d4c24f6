#pragma once

// File-system access for module texts. Paths inside the module are GBK in
// Windows notation ("C:\Tessaro\Log\x.log" or "/opt/tessaro\Log\x.log");
// nativePath() turns one into the UTF-8 POSIX path the system calls take.

#include <string>
#include <string_view>

namespace corvane {

// Backslashes become slashes, GBK becomes UTF-8, and a drive letter
// ("C:") is dropped.
std::string nativePath(std::string_view modulePath);

// The folder of the running executable, GBK, ending without a separator.
std::string executableFolder();

// Creates the folder with all missing parents; false on failure.
bool forceDirectories(std::string_view modulePath);

// Appends bytes to the file, creating it when missing; false on failure.
bool appendToFile(std::string_view modulePath, std::string_view bytes);

// The login name of the user running the process (GBK).
std::string currentUserName();

// The folder for temporary files, GBK, ending with a separator.
std::string tempFolder();

}  // namespace corvane
