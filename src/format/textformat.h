#pragma once

#include <string>

#if defined(__MINGW32__)
// MinGW's C++ takes its C99 printf (%zu, %lld), not msvcrt's.
#define H33_PRINTF_FORMAT(fmt, args) __attribute__((format(gnu_printf, fmt, args)))
#elif defined(__GNUC__) || defined(__clang__)
#define H33_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define H33_PRINTF_FORMAT(fmt, args)
#endif

namespace h33 {

// printf-style formatting into a string of whatever length the result needs.
// Numbers follow the C library's LC_NUMERIC, which both front ends keep at "C".
std::string Sprintf(const char* format, ...) H33_PRINTF_FORMAT(1, 2);

// The two formats the planner and the writer use once per frame, with the
// bytes Sprintf gives them but without its format parser (std::to_chars is
// defined to print as printf does in the "C" locale):
// Sprintf("%0*ld", width, number) ...
std::string ZeroPadded(long number, int width);
// ... and Sprintf("%.*f", decimals, value).
std::string FixedDecimals(double value, int decimals);

}  // namespace h33
