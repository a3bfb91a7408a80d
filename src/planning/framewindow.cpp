#include "planning/framewindow.h"

#include "format/feedcode.h"
#include "format/numbers.h"
#include "format/words.h"

namespace h33 {

void EndNewestLine(FrameWindow& window) {
  if (!window.empty() && !window.back().text.ends_with('\n')) window.back().text += '\n';
}

int WriteFeed(std::string& line, int feed) {
  const std::string code = EncodeFeed(feed);
  ReplaceWord(line, 'F', code);
  return DecodeFeed(ParseInt(code));
}

void SetRowFeed(WindowRow& row, int feed) {
  row.feed = feed;
  WriteFeed(row.text, feed);
}

}  // namespace h33
