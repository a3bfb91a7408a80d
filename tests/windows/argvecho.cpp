// A stand-in editor for the tests of the editor's command line: writes the
// arguments it was given, as the system split them, one per line in UTF-8,
// into the file named by its first argument (through a temporary name, so
// that the file appears whole).
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {

std::string Utf8(const wchar_t* text) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string result(static_cast<std::size_t>(size > 0 ? size - 1 : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text, -1, result.data(), size, nullptr, nullptr);
  return result;
}

}  // namespace

int main() {
  int count = 0;
  wchar_t** words = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!words || count < 2) return 2;
  const std::wstring target = words[1];
  const std::wstring temporary = target + L".tmp";
  FILE* file = _wfopen(temporary.c_str(), L"wb");
  if (!file) return 3;
  for (int i = 2; i < count; ++i) {
    const std::string word = Utf8(words[i]) + "\n";
    std::fwrite(word.data(), 1, word.size(), file);
  }
  std::fclose(file);
  return MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0 : 4;
}
