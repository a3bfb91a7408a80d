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

}  // namespace h33
