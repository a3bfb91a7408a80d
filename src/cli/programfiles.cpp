#include "cli/programfiles.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <ostream>
#include <system_error>

#include "format/bytesource.h"
#include "format/devicename.h"
#include "format/formatcheck.h"
#include "format/pathtext.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace h33 {
namespace {

namespace fs = std::filesystem;

// A pipe or a FIFO can be read once, and a FIFO waits for its writer on
// every open. Devices are refused before.
bool ReadableOnlyOnce(const fs::path& path) {
  std::error_code error;
  const fs::file_status status = fs::status(path, error);
  return !error && fs::exists(status) && !fs::is_regular_file(status) &&
         !fs::is_directory(status);
}

std::FILE* OpenStandardInput() {
#ifdef _WIN32
  _setmode(_fileno(stdin), _O_BINARY);
#endif
  return stdin;
}

// A pipe or a device has no end of its own (`yes |`, /dev/zero): the copy
// stops here rather than fill the disk. A program is far shorter; one this
// long is given as a file, which is read without a copy.
constexpr std::uintmax_t kLargestCopy = std::uintmax_t{1} << 30;

// Copies all of `from` into the file `to`; throws IoError naming `source`.
void Copy(std::FILE* from, const std::string& source, const fs::path& to) {
  std::FILE* file = OpenFile(to, "wb");
  if (!file) throw IoError("не удается записать временный файл " + PathText(to));
  char buffer[1 << 16];
  bool written = true;
  std::uintmax_t copied = 0;
  std::size_t count = 0;
  while (written && copied <= kLargestCopy &&
         (count = std::fread(buffer, 1, sizeof buffer, from)) > 0) {
    written = std::fwrite(buffer, 1, count, file) == count;
    copied += count;
  }
  const bool readFailed = std::ferror(from) != 0;
  written = std::fclose(file) == 0 && written;
  if (readFailed) throw IoError("ошибка чтения " + source);
  if (!written) throw IoError("ошибка записи во временный файл " + PathText(to));
  if (copied > kLargestCopy) {
    throw IoError("чтение " + source + " остановлено: больше 1 ГБ, программа не бывает такой " +
                  "длинной (большой файл укажите по имени, он читается без копии)");
  }
}

}  // namespace

bool RefuseDeviceInput(const std::string& name, std::ostream& err) {
  const fs::path path = PathFromText(name);
  const char* device = DeviceInput(path);
  if (device) err << CannotOpenForReadingText(path) << ' ' << device << '\n';
  return device != nullptr;
}

bool StandardInputAtMostOnce(const std::vector<std::string>& names, std::ostream& err) {
  if (std::count(names.begin(), names.end(), kStandardStream) < 2) return true;
  err << "стандартный ввод (-) можно указать только один раз\n";
  return false;
}

bool ProgramFiles::TakeInput(std::string& name, std::ostream& err) {
  const bool standardInput = name == kStandardStream;
  const fs::path path = PathFromText(name);
  if (!standardInput && RefuseDeviceInput(name, err)) return false;
  if (!standardInput && !ReadableOnlyOnce(path)) return true;
  try {
    // Standard input has no name to tell its kind by: like /dev/stdin, its
    // copy has no extension, so that G-code is known by what it holds.
    auto scratch = std::make_unique<ScratchFile>(standardInput ? "" : PathText(path.extension()));
    if (standardInput) {
      Copy(OpenStandardInput(), "стандартного ввода", scratch->Path());
    } else {
      std::FILE* source = OpenFile(path, "rb");
      if (!source) throw IoError("не удается открыть файл " + name);
      try {
        Copy(source, "файла " + name, scratch->Path());
      } catch (...) {
        std::fclose(source);
        throw;
      }
      std::fclose(source);
    }
    name = PathText(scratch->Path());
    scratch_.push_back(std::move(scratch));
    return true;
  } catch (const RunError& error) {
    err << error.what() << '\n';
    return false;
  }
}

bool ProgramFiles::TakeOutput(std::string& name, std::ostream& err, bool& toStandardOutput) {
  toStandardOutput = name == kStandardStream;
  if (!toStandardOutput) return true;
  try {
    auto scratch = std::make_unique<ScratchFile>(".up");
    name = PathText(scratch->Path());
    scratch_.push_back(std::move(scratch));
    return true;
  } catch (const RunError& error) {
    err << error.what() << '\n';
    return false;
  }
}

bool ProgramFiles::CopyToStandardOutput(const std::string& written, std::ostream& out,
                                        std::ostream& err) {
  std::ifstream program(PathFromText(written), std::ios::binary);
  char buffer[1 << 16];
  while (program && out) {
    program.read(buffer, sizeof buffer);
    out.write(buffer, program.gcount());
  }
  out.flush();
  // A failed write is the command runner's to report, with every other
  // report that did not reach standard output.
  if (!out) return false;
  if (!program.eof()) {
    err << "ошибка вывода программы на стандартный вывод\n";
    return false;
  }
  return true;
}

}  // namespace h33
