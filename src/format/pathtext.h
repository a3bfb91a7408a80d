#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace h33 {

// Every text the user sees is UTF-8, names of files included, while a path
// keeps the system's own form: on Windows its narrow form is the ANSI code
// page, so a name must cross between the two only through these.

// The name for a message.
std::string PathText(const std::filesystem::path& path);

// The file a name typed or chosen by the user designates.
std::filesystem::path PathFromText(std::string_view text);

#ifdef _WIN32
// Windows' own text, UTF-16, and ours, UTF-8; a lone surrogate (which no
// name should hold) becomes U+FFFD.
std::string Utf8FromWide(std::wstring_view text);
std::wstring WideFromUtf8(std::string_view text);

// The system's message for a Windows error code, in UTF-8, without the
// closing line end.
std::string SystemErrorText(unsigned long error);
#endif

}  // namespace h33
