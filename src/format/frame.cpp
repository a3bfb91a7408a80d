#include "format/frame.h"

#include "format/modalstate.h"
#include "format/words.h"

namespace h33 {

void Frame::Assign(std::string_view text) {
  text_.assign(text);
  words_ = 0;
  std::uint32_t met = 0;
  const std::string_view line = text_;
  for (std::size_t at = 0; at < line.size(); ++at) {
    const unsigned index = Index(line[at]);
    if (index >= spans_.size() || (met >> index & 1u) != 0) continue;
    met |= 1u << index;
    const std::string_view value = WordValueAt(line, at);
    if (value.empty()) continue;
    words_ |= 1u << index;
    spans_[index] = {static_cast<std::uint32_t>(at + 1), static_cast<std::uint32_t>(value.size())};
    at += value.size();  // a value holds no letter
  }
  writtenMove_ = WrittenVector(Word('X'), Word('Y'), Word('Z'));
}

FrameVector Frame::ArcOffsets() const {
  return InMillimetres(WrittenVector(Word('I'), Word('J'), Word('K')));
}

bool Frame::IsFeedOnly() const {
  if (!Has('F')) return false;
  for (const char letter : std::string_view("XYZMLG")) {
    if (Has(letter)) return false;
  }
  // A modal code found as a substring where no G word reads ("GG03") still
  // changes the plane or the sense of the arcs after it: such a frame is
  // kept, or dropping it would turn those arcs round.
  return !ModalState::StatesAnyCode(text_);
}

}  // namespace h33
