#include "app/gcodetape.h"

#include <cctype>
#include <string>
#include <utility>

#include "app/runinput.h"
#include "format/pathtext.h"
#include "format/textformat.h"
#include "methods/ptp_to_up.h"

namespace h33 {
namespace {

constexpr const char* kCaption = "Импорт G-кода";
constexpr const char* kArcsBecameChordsText =
    "Дуги по четвертям окружности станок не успевает затормозить: дуги записаны хордами "
    "в пределах 0.01 мм.";

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
  arcs_ = options.arcs;
  file_->Close();
}

ImportedTape ImportedTape::ForPicture(const std::filesystem::path& input) {
  return ImportedTape(input, std::filesystem::temp_directory_path() / "h33-picture.ptp", {});
}

namespace {

// Dialogs nobody sees: a trial conversion's braking box.
class UnseenDialogs : public Dialogs {
 public:
  void Message(const std::string&) override {}
  Button Ask(DialogKind, const std::string&, std::initializer_list<Button>) override {
    return Button::Yes;
  }
  void CaptionedBox(const std::string&, const std::string&) override {}
  std::optional<long> AskTapeLengthLimit() override { return std::nullopt; }
  std::optional<std::string> AskSecondPartName(const std::filesystem::path&) override {
    return std::nullopt;
  }
};

class DiscardingSink : public ByteSink {
 public:
  void Write(const char*, std::size_t) override {}
};

// Whether the conversion of the tape stops where the machine cannot brake.
// A tape that fails otherwise is for the conversion itself to report.
bool BrakingFails(const ImportedTape& tape, const RunParameters& parameters) {
  if (!parameters.brakes) return false;
  try {
    const auto source = FileSource::Open(tape.Path());
    if (!source) return false;
    DiscardingSink discarded;
    UnseenDialogs unseen;
    return ConvertPtp(parameters, *source, discarded, unseen).status ==
           ConversionStatus::kBrakingFailed;
  } catch (const RunError&) {
    return false;
  }
}

// The tape with the arcs chosen; `becameChords` says whether the tool
// turned quadrant arcs into chords.
ImportedTape ImportWithArcs(const std::filesystem::path& input,
                            const std::filesystem::path& output, const RunParameters& parameters,
                            const ImportOptions& options, ArcChoice choice, bool& becameChords) {
  {
    ImportedTape tape(input, output, options);
    if (choice == ArcChoice::kAsAsked || tape.Arcs() != ArcOutput::kQuadrants ||
        !BrakingFails(tape, parameters)) {
      return tape;
    }
  }
  ImportOptions chords = options;
  chords.arcs = ArcOutput::kChords;
  becameChords = true;
  return ImportedTape(input, output, chords);
}

}  // namespace

std::optional<ImportedTape> ImportForConversion(const std::filesystem::path& input,
                                                const std::filesystem::path& output,
                                                const RunParameters& parameters,
                                                const ImportOptions& options, ArcChoice choice,
                                                Dialogs& dialogs) {
  std::optional<ImportedTape> tape;
  bool arcsBecameChords = false;
  try {
    // Beside the program to be written, where there is room for it.
    tape.emplace(ImportWithArcs(input, output, parameters, options, choice, arcsBecameChords));
  } catch (const ProgramRefusal& refusal) {
    dialogs.CaptionedBox(std::string(refusal.what()) + "\nИмпорт прерван.", kCaption);
    return std::nullopt;
  } catch (const RunError& error) {
    dialogs.CaptionedBox(error.what(), kCaption);
    return std::nullopt;
  }
  std::string said = tape->Summary().Text();
  if (arcsBecameChords) said += (said.empty() ? "" : "\n") + std::string(kArcsBecameChordsText);
  if (!said.empty()) dialogs.Message(said);
  if (!CheckRunInput(tape->Path(), dialogs)) return std::nullopt;
  return tape;
}

}  // namespace h33
