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

ImportedTape::ImportedTape(const std::filesystem::path& input,
                           const std::filesystem::path& besides, const ImportOptions& options) {
  std::string reason;
  const auto source = FileSource::Open(input, &reason);
  if (!source) {
    throw IoError(Sprintf("Не могу открыть файл %s\n%s", PathText(input).c_str(), reason.c_str()));
  }
  // Never committed: the scratch file goes with the tape.
  file_ = std::make_unique<OutputFile>(besides);
  summary_ = ImportGcode(*source, *file_, options);
  file_->Close();
}

ImportedTape ImportedTape::ForPicture(const std::filesystem::path& input) {
  return ImportedTape(input, std::filesystem::temp_directory_path() / "h33-picture.ptp", {});
}

std::optional<ImportedTape> ImportForConversion(const std::filesystem::path& input,
                                                const std::filesystem::path& output,
                                                const ImportOptions& options, Dialogs& dialogs) {
  std::optional<ImportedTape> tape;
  try {
    // Beside the program to be written, where there is room for it.
    tape.emplace(input, output, options);
  } catch (const ProgramRefusal& refusal) {
    dialogs.CaptionedBox(std::string(refusal.what()) + "\nИмпорт прерван.", kCaption);
    return std::nullopt;
  } catch (const RunError& error) {
    dialogs.CaptionedBox(error.what(), kCaption);
    return std::nullopt;
  }
  if (!tape->Summary().Empty()) dialogs.Message(tape->Summary().Text());
  if (!CheckRunInput(tape->Path(), dialogs)) return std::nullopt;
  return tape;
}

}  // namespace h33
