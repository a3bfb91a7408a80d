#include "planning/framewindow.h"

#include "format/feedcode.h"
#include "format/words.h"

namespace h33 {

void EndNewestLine(FrameWindow& window) {
  if (!window.empty() && !window.back().text.ends_with('\n')) window.back().text += '\n';
}

void WriteFeed(std::string& line, int feed) { ReplaceWord(line, 'F', EncodeFeed(feed)); }

void SetRowFeed(WindowRow& row, int feed) {
  row.feed = feed;
  WriteFeed(row.text, feed);
}

}  // namespace h33
