// Writes a large test program for the throughput measurements:
//   gen_program --format up|ptp|nc --size 200M [--seed N] -o FILE

#include <CLI/CLI.hpp>
#include <cstdint>
#include <iostream>
#include <map>
#include <string>

#include "format/bytesource.h"
#include "format/outputfile.h"
#include "programgen.h"

namespace {

constexpr std::uint64_t kMiB = 1024 * 1024;

}  // namespace

int main(int argc, char** argv) {
  using h33::bench::ProgramFormat;
  CLI::App app{"Генератор больших программ для замеров скорости", "gen_program"};
  ProgramFormat format = ProgramFormat::kUp;
  std::uint64_t size = 0;
  std::uint64_t seed = 1;
  std::string output;
  const std::map<std::string, ProgramFormat> formats{{"up", ProgramFormat::kUp},
                                                     {"ptp", ProgramFormat::kPtp},
                                                     {"nc", ProgramFormat::kGcode}};
  app.add_option("--format", format, "up: подачи кодами H33, ptp: подачи в мм/мин, nc: G-код")
      ->required()
      ->transform(CLI::CheckedTransformer(formats, CLI::ignore_case));
  app.add_option("--size", size, "размер, от 1M до 500M (M = 1048576 байт)")
      ->required()
      ->transform(CLI::AsSizeValue(false))
      ->check(CLI::Range(kMiB, 500 * kMiB));
  app.add_option("--seed", seed, "начальное число генератора")->capture_default_str();
  app.add_option("-o,--output", output, "файл программы")->required();
  CLI11_PARSE(app, argc, argv);

  try {
    h33::OutputFile file(output);
    h33::bench::GenerateProgram(format, size, seed, file);
    file.Commit();
  } catch (const h33::IoError& error) {
    std::cerr << error.what() << '\n';
    return 2;
  }
  return 0;
}
