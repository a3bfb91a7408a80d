#include "app/gcodetape.h"

#include <cctype>
#include <string>
#include <utility>

#include "app/runinput.h"
#include "format/pathtext.h"
#include "format/textformat.h"

namespace h33 {
namespace {

constexpr const char* kCaption = "Импорт G-кода";

bool NamedAsProgram(const std::filesystem::path& input) {
  std::string extension = PathText(input.extension());
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".ptp" || extension == ".up";
}

}  // namespace

bool IsGcodeInput(const std::filesystem::path& input) {
  if (HasGcodeName(input)) return true;
  std::error_code error;
  if (NamedAsProgram(input) || !std::filesystem::is_regular_file(input, error)) return false;
  const auto source = FileSource::Open(input);
  try {
    return source && LooksLikeGcode(*source);
  } catch (const RunError&) {
    return false;  // the run's own reading says why
  }
}

std::optional<ImportedTape> ImportedTape::Import(const std::filesystem::path& input,
                                                 const std::filesystem::path& output,
                                                 const ImportOptions& options, Dialogs& dialogs) {
  std::string reason;
  const auto source = FileSource::Open(input, &reason);
  if (!source) {
    dialogs.CaptionedBox(Sprintf("Не могу открыть файл %s\n%s", PathText(input).c_str(),
                                 reason.c_str()),
                         kCaption);
    return std::nullopt;
  }
  ImportedTape tape;
  try {
    // Beside the program to be written, where there is room for it; never
    // committed, so removed with the tape.
    tape.file_ = std::make_unique<OutputFile>(output);
    tape.summary_ = ImportGcode(*source, *tape.file_, options);
    tape.file_->Close();
  } catch (const ProgramRefusal& refusal) {
    dialogs.CaptionedBox(std::string(refusal.what()) + "\nИмпорт прерван.", kCaption);
    return std::nullopt;
  } catch (const RunError& error) {
    dialogs.CaptionedBox(error.what(), kCaption);
    return std::nullopt;
  }
  if (!tape.summary_.Empty()) dialogs.Message(tape.summary_.Text());
  if (!CheckRunInput(tape.Path(), dialogs)) return std::nullopt;
  return tape;
}

}  // namespace h33
