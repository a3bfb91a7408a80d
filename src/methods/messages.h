#pragma once

namespace h33 {

// Texts that more than one place shows, written once here: the window and
// the command must say the same thing in the same words. The system's own
// texts stand as they are, typos and blanks included; each takes the file's
// name for its %s.

// The output would replace the input.
inline constexpr const char* kOutputIsInputText =
    "Имя исходного файла УП ->\n %s \n совпадает с  вновь формируемым\n Преобразование прервано..";

// A run of Up->up that did not write its program.
inline constexpr const char* kRunFailedText =
    "Ошибка прееобразования файла УП:\n %s \n - обработка прервана....";

// The time of the program a run wrote, in minutes.
inline constexpr const char* kWrittenProgramTimeText =
    "Файл УП ->\n %s \n Время выполнения УП = %.2lf (мин)";

// A file that cannot be read; the second %s says why.
inline constexpr const char* kCannotOpenForReadingText = "Невозможно открыть файл %s на чтение: %s";

// A picture of a program that reaches beyond what can be drawn; the second
// %s says where.
inline constexpr const char* kPictureNotDrawnText = "Рисунок не построен: файл %s, %s";

}  // namespace h33
