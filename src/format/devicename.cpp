#include "format/devicename.h"

#include <algorithm>
#include <cwctype>
#include <string>
#include <system_error>

namespace h33 {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr const char* kDevice = "это устройство, а не файл";

// Names Windows keeps for its devices in every folder, whatever follows a
// dot and however the letters are cased: "NUL", "con.up", "COM1".
bool IsReservedDeviceName(const fs::path& path) {
  std::wstring stem = path.filename().native();
  stem = stem.substr(0, stem.find(L'.'));
  while (!stem.empty() && stem.back() == L' ') stem.pop_back();
  std::transform(stem.begin(), stem.end(), stem.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towupper(c)); });
  for (const wchar_t* name : {L"CON", L"PRN", L"AUX", L"NUL", L"CONIN$", L"CONOUT$"}) {
    if (stem == name) return true;
  }
  return stem.size() == 4 && (stem.rfind(L"COM", 0) == 0 || stem.rfind(L"LPT", 0) == 0) &&
         stem[3] >= L'1' && stem[3] <= L'9';
}

// A device or a pipe of the system's device namespace ("\\.\COM1",
// "\\.\pipe\name"), or null. "\\.\C:\..." and "\\?\C:\..." are files.
const char* WindowsDevice(const fs::path& path) {
  if (IsReservedDeviceName(path)) return kDevice;
  const std::wstring& name = path.native();
  const bool deviceNamespace = name.size() >= 4 && (name[0] == L'\\' || name[0] == L'/') &&
                               (name[1] == L'\\' || name[1] == L'/') &&
                               (name[2] == L'.' || name[2] == L'?') &&
                               (name[3] == L'\\' || name[3] == L'/');
  if (!deviceNamespace) return nullptr;
  const std::wstring rest = name.substr(4);
  if (rest.size() >= 2 && rest[1] == L':') return nullptr;  // a drive letter
  if (rest.size() >= 4 && std::equal(rest.begin(), rest.begin() + 4, L"UNC\\",
                                     [](wchar_t a, wchar_t b) { return std::towupper(a) == b; })) {
    return nullptr;  // \\?\UNC\server\share
  }
  std::wstring lower = rest.substr(0, 5);
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return lower == L"pipe\\" || lower == L"pipe/" ? "это канал, а не файл" : kDevice;
}
#endif

}  // namespace

const char* DeviceByName([[maybe_unused]] const fs::path& path) {
#ifdef _WIN32
  return WindowsDevice(path);
#else
  return nullptr;
#endif
}

const char* DeviceInput(const fs::path& path) {
  if (DeviceByName(path)) return kNotRegularInput;
  std::error_code error;
  const fs::file_type type = fs::status(path, error).type();
  return type == fs::file_type::character || type == fs::file_type::block ? kNotRegularInput
                                                                          : nullptr;
}

}  // namespace h33
