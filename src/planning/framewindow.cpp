#include "planning/framewindow.h"

#include "format/feedcode.h"

namespace h33 {

void EndNewestLine(FrameWindow& window) {
  if (!window.empty()) window.back().frame.EndLine();
}

void WriteFeed(Frame& frame, int feed) { frame.SetWord('F', EncodeFeed(feed)); }

void SetRowFeed(WindowRow& row, int feed) {
  row.feed = feed;
  WriteFeed(row.frame, feed);
}

}  // namespace h33
