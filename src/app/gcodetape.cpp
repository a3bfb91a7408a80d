#include "app/gcodetape.h"

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string>
#include <utility>

#include "app/runinput.h"
#include "format/pathtext.h"
#include "format/textformat.h"
#include "methods/ptp_to_up.h"

namespace h33 {
namespace {

constexpr const char* kCaption = "Импорт G-кода";
constexpr const char* kLeaveOutCompensationQuestion =
    "Строка %ld: коррекция на радиус инструмента G41, G42.\n"
    "Без неё инструмент пройдёт по запрограммированному контуру, а не по смещённому на "
    "радиус инструмента.\nПропустить коррекцию и продолжить?";
constexpr const char* kArcsBecomeChordsText =
    "Дуги по четвертям окружности станок не успевает затормозить: дуги переводятся в хорды "
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
                           const std::filesystem::path& besides, const ImportOptions& options,
                           bool notesOrigins) {
  std::string reason;
  const auto source = FileSource::Open(input, &reason);
  if (!source) {
    throw IoError(Sprintf("Не могу открыть файл %s\n%s", PathText(input).c_str(), reason.c_str()));
  }
  // Never committed: the scratch file goes with the tape.
  file_ = std::make_unique<OutputFile>(besides);
  summary_ = notesOrigins ? ImportGcode(*source, *file_, options, origins_)
                         : ImportGcode(*source, *file_, options);
  arcs_ = options.arcs;
  file_->Close();
}

ImportedTape ImportedTape::ForPicture(const std::filesystem::path& input) {
  return ImportedTape(input, std::filesystem::temp_directory_path() / "h33-picture.ptp", {},
                      /*notesOrigins=*/true);
}

std::optional<long> ImportedTape::GcodeLine(std::uint32_t tapeLine) const {
  const auto after = std::upper_bound(
      origins_.begin(), origins_.end(), tapeLine,
      [](std::uint32_t line, const TapeLineOrigin& origin) { return line < origin.tapeLine; });
  if (after == origins_.begin()) return std::nullopt;
  return std::prev(after)->gcodeLine;
}

namespace {

// Holds the boxes a conversion shows until it asks or says anything else,
// so that the box of its braking failure can be dropped when the conversion
// is done again.
class BoxesHeld : public Dialogs {
 public:
  explicit BoxesHeld(Dialogs& shown) : shown_(shown) {}

  void Message(const std::string& text) override { Shown().Message(text); }
  Button Ask(DialogKind kind, const std::string& text,
             std::initializer_list<Button> buttons) override {
    return Shown().Ask(kind, text, buttons);
  }
  Button AskBeforeDestroying(const std::string& text) override {
    return Shown().AskBeforeDestroying(text);
  }
  void CaptionedBox(const std::string& text, const std::string& caption) override {
    if (holding_) {
      held_.emplace_back(text, caption);
    } else {
      shown_.CaptionedBox(text, caption);
    }
  }
  std::optional<long> AskTapeLengthLimit() override { return Shown().AskTapeLengthLimit(); }
  std::optional<std::string> AskSecondPartName(const std::filesystem::path& splitting) override {
    return Shown().AskSecondPartName(splitting);
  }

  // Shows what is held, and everything from now on.
  Dialogs& Shown() {
    holding_ = false;
    for (const auto& [text, caption] : held_) shown_.CaptionedBox(text, caption);
    held_.clear();
    return shown_;
  }
  // Drops the last box held, the failure's own, when nothing came after it;
  // shows the rest. False when the failure's box was shown already.
  bool DropLastBox() {
    if (!holding_ || held_.empty()) return false;
    held_.pop_back();
    Shown();
    return true;
  }

 private:
  Dialogs& shown_;
  bool holding_ = true;
  std::vector<std::pair<std::string, std::string>> held_;
};

// The import ahead of a conversion into `output`, which says what was left
// out unless told not to, and checks the tape as the run's input before
// anything is converted or written; nothing after the box that says why it
// could not.
// Asked of a window's user, `options` take the answer to that question.
std::optional<ImportedTape> ImportForConversion(const std::filesystem::path& input,
                                                const std::filesystem::path& output,
                                                ImportOptions& options, Dialogs& dialogs,
                                                CompensationChoice compensation,
                                                bool saysWhatWasLeftOut = true) {
  std::optional<ImportedTape> tape;
  try {
    // Beside the program to be written, where there is room for it.
    tape.emplace(input, output, options);
  } catch (const ProgramRefusal& refusal) {
    const auto* cutterCompensation = dynamic_cast<const CutterCompensationRefusal*>(&refusal);
    if (cutterCompensation && compensation == CompensationChoice::kAskTheUser) {
      const std::string question = Sprintf(kLeaveOutCompensationQuestion, cutterCompensation->Line());
      if (dialogs.Ask(DialogKind::Confirmation, question, {Button::Yes, Button::No}) != Button::Yes) {
        return std::nullopt;
      }
      options.leaveOutCutterCompensation = true;
      return ImportForConversion(input, output, options, dialogs, compensation, saysWhatWasLeftOut);
    }
    dialogs.CaptionedBox(std::string(refusal.what()) + "\nИмпорт прерван.", kCaption);
    return std::nullopt;
  } catch (const RunError& error) {
    dialogs.CaptionedBox(error.what(), kCaption);
    return std::nullopt;
  }
  if (saysWhatWasLeftOut && !tape->Summary().Empty()) dialogs.Message(tape->Summary().Text());
  if (!CheckRunInput(tape->Path(), dialogs)) return std::nullopt;
  return tape;
}

}  // namespace

std::optional<GcodeConversion> ConvertGcode(const RunParameters& parameters,
                                            const std::filesystem::path& input,
                                            const std::filesystem::path& output,
                                            const ImportOptions& given, ArcChoice choice,
                                            Dialogs& dialogs, CompensationChoice compensation) {
  // The conversion itself sees only the tape: the G-code source is compared here.
  if (!CheckOutputIsNotInput(input, output, dialogs)) return std::nullopt;
  ImportOptions options = given;
  {
    const std::optional<ImportedTape> tape =
        ImportForConversion(input, output, options, dialogs, compensation);
    if (!tape) return std::nullopt;
    const bool mayTurnToChords = choice == ArcChoice::kChordsWhereQuadrantsCannotBrake &&
                                 tape->Arcs() == ArcOutput::kQuadrants &&
                                 tape->Summary().ArcFrames() > 0 && parameters.brakes;
    if (!mayTurnToChords) {
      return GcodeConversion{PtpToUp(parameters, tape->Path(), output, dialogs), tape->Arcs()};
    }
    BoxesHeld held(dialogs);
    const ConversionStatus status = PtpToUp(parameters, tape->Path(), output, held);
    if (status != ConversionStatus::kBrakingFailed || !held.DropLastBox()) {
      held.Shown();
      return GcodeConversion{status, tape->Arcs()};
    }
  }
  dialogs.Message(kArcsBecomeChordsText);
  ImportOptions chords = options;
  chords.arcs = ArcOutput::kChords;
  // Chords leave out nothing quadrant arcs did not: what was left out is said.
  const std::optional<ImportedTape> tape =
      ImportForConversion(input, output, chords, dialogs, compensation, /*saysWhatWasLeftOut=*/false);
  if (!tape) return std::nullopt;
  return GcodeConversion{PtpToUp(parameters, tape->Path(), output, dialogs), ArcOutput::kChords};
}

}  // namespace h33
