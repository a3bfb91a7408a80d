#pragma once

#include <filesystem>

namespace h33 {

// Why `path` designates a device by its name alone, as Windows reserves
// names in every folder ("NUL", "com1.up", "CONIN$") and keeps a device
// namespace ("\\.\COM1", "\\.\pipe\name"): the reason for the user, or null
// for the name of a file. Elsewhere a name alone makes no device: null.
const char* DeviceByName(const std::filesystem::path& path);

// Why no program can be read from `path`: it is a device, by its name or by
// the type of what it names (a serial port waits for bytes that may never
// come, the null device gives none, and each pass of a method would read
// other bytes). Null for anything else: a file, a pipe, a missing name.
// Nothing is opened to tell.
const char* DeviceInput(const std::filesystem::path& path);

// The reason DeviceInput's devices are refused, also for any input that is
// no regular file where a method must read it more than once.
inline constexpr const char* kNotRegularInput =
    "это не обычный файл (канал или устройство): программу из него нельзя прочитать несколько "
    "раз";

}  // namespace h33
