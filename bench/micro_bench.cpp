#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <string_view>

#include "format/bytesource.h"
#include "format/feedcode.h"
#include "format/lineio.h"
#include "format/words.h"
#include "methods/timebreakdown.h"
#include "methods/timecount.h"
#include "programgen.h"

namespace h33 {
namespace {

constexpr std::string_view kFrame = "N123G01X+001500Y-000250Z+000100I+001000J-000500F0660\n";
constexpr std::uint64_t kProgramBytes = 10 * 1024 * 1024;

// One 10 MB program shared by the whole-program cases, built on first use.
const std::string& Program() {
  static const std::string program = [] {
    MemorySink sink;
    bench::GenerateProgram(bench::ProgramFormat::kUp, kProgramBytes, 1, sink);
    return sink.Bytes();
  }();
  return program;
}

void SetFrameBytes(benchmark::State& state, std::size_t frameSize) {
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(frameSize));
}

void BM_ReadWord(benchmark::State& state, char letter) {
  for (auto _ : state) {
    benchmark::DoNotOptimize(ReadWord(kFrame, letter));
  }
  SetFrameBytes(state, kFrame.size());
}
BENCHMARK_CAPTURE(BM_ReadWord, hit_early, 'G');
BENCHMARK_CAPTURE(BM_ReadWord, hit_late, 'F');
BENCHMARK_CAPTURE(BM_ReadWord, miss, 'K');

// Each case starts from a fresh copy; the copy into a buffer that keeps its
// capacity costs about as much as the bench's own frame handling would.
void BM_ReplaceWord(benchmark::State& state, std::string_view frame) {
  std::string line;
  line.reserve(256);
  for (auto _ : state) {
    line.assign(frame);
    ReplaceWord(line, 'F', "0624");
    benchmark::DoNotOptimize(line.data());
  }
  SetFrameBytes(state, frame.size());
}
BENCHMARK_CAPTURE(BM_ReplaceWord, existing_word,
                  std::string_view("N005G01X+000100Y+000200F0660\n"));
BENCHMARK_CAPTURE(BM_ReplaceWord, before_l_word, std::string_view("N005G01X+000100Y+000200L001\n"));
BENCHMARK_CAPTURE(BM_ReplaceWord, before_line_end, std::string_view("N005G01X+000100Y+000200\n"));

void BM_StripFeedWords(benchmark::State& state, std::string_view frame) {
  std::string line;
  line.reserve(256);
  for (auto _ : state) {
    line.assign(frame);
    StripFeedWords(line);
    benchmark::DoNotOptimize(line.data());
  }
  SetFrameBytes(state, frame.size());
}
BENCHMARK_CAPTURE(BM_StripFeedWords, m_frame, std::string_view("N020M05F0624\n"));
BENCHMARK_CAPTURE(BM_StripFeedWords, motion_frame, kFrame);

// Every feed from 1 to 9999 mm/min in turn: all four decades.
void BM_EncodeFeed(benchmark::State& state) {
  int feed = 0;
  for (auto _ : state) {
    feed = feed % 9999 + 1;
    benchmark::DoNotOptimize(EncodeFeed(feed));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EncodeFeed);

// Every code from 0400 to 0799, the range programs use.
void BM_DecodeFeed(benchmark::State& state) {
  int code = 399;
  for (auto _ : state) {
    code = code == 799 ? 400 : code + 1;
    benchmark::DoNotOptimize(DecodeFeed(code));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_DecodeFeed);

// The floor for any reader: find the line feeds and nothing else.
void BM_CountLineFeeds(benchmark::State& state) {
  const std::string& program = Program();
  for (auto _ : state) {
    std::size_t lines = 0;
    const char* end = program.data() + program.size();
    for (const char* at = program.data();; ++at, ++lines) {
      at = static_cast<const char*>(std::memchr(at, '\n', static_cast<std::size_t>(end - at)));
      if (!at) break;
    }
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(program.size()));
}
BENCHMARK(BM_CountLineFeeds)->Unit(benchmark::kMillisecond);

void BM_LineReader(benchmark::State& state) {
  const std::string& program = Program();
  std::string line;
  for (auto _ : state) {
    MemorySource source(program);
    LineReader reader(source);
    std::size_t lines = 0;
    while (reader.ReadLine(line, kProgramLineLimit)) ++lines;
    benchmark::DoNotOptimize(lines);
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(program.size()));
}
BENCHMARK(BM_LineReader)->Unit(benchmark::kMillisecond);

void BM_CountTime(benchmark::State& state) {
  const std::string& program = Program();
  for (auto _ : state) {
    MemorySource source(program);
    TimeCounter counter({}, 50);
    benchmark::DoNotOptimize(counter.CountTime(source));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(program.size()));
}
BENCHMARK(BM_CountTime)->Unit(benchmark::kMillisecond);

// The same count with the breakdown built along.
void BM_CountTimeBreakdown(benchmark::State& state) {
  const std::string& program = Program();
  for (auto _ : state) {
    MemorySource source(program);
    TimeBreakdownBuilder breakdown(1200);
    TimeCounter counter({}, 50);
    benchmark::DoNotOptimize(breakdown.Result(counter.CountTime(source, &breakdown)));
  }
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(program.size()));
}
BENCHMARK(BM_CountTimeBreakdown)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace h33
