#pragma once

#include <QString>

#include <filesystem>

namespace h33 {

// A name from a widget or a file dialog as the file it designates: through
// UTF-16, so that on Windows a name outside the ANSI code page still opens.
inline std::filesystem::path ToPath(const QString& name) {
  return std::filesystem::path(name.toStdU16String());
}

// A file's name for a widget, through UTF-16 likewise.
inline QString ToQString(const std::filesystem::path& path) {
  return QString::fromStdU16String(path.u16string());
}

}  // namespace h33
