#pragma once

#include <QString>

#include <filesystem>

namespace h33 {

// A name from a widget or a file dialog as the file it designates: through
// UTF-16, so that on Windows a name outside the ANSI code page still opens.
inline std::filesystem::path ToPath(const QString& name) {
  return std::filesystem::path(name.toStdU16String());
}

}  // namespace h33
