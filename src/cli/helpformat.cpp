#include "cli/helpformat.h"

#include <CLI/CLI.hpp>

#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "app/texttable.h"

namespace h33 {
namespace {

class RussianHelp : public CLI::Formatter {
 public:
  RussianHelp() {
    label("Usage", "Вызов");
    label("OPTIONS", "ПАРАМЕТРЫ");
    label("SUBCOMMAND", "КОМАНДА");
    label("SUBCOMMANDS", "КОМАНДЫ");
    label("Positionals", "Аргументы");
    label("Options", "Параметры");
    label("TEXT", "ТЕКСТ");
    label("INT", "ЧИСЛО");
    label("UINT", "ЧИСЛО");
    label("FLOAT", "ЧИСЛО");
  }

  // Options are grouped under CLI11's own group name, the help flag
  // included; the heading is ours.
  std::string make_group(std::string group, bool isPositional,
                         std::vector<const CLI::Option*> options) const override {
    return Formatter::make_group(get_label(group), isPositional, std::move(options));
  }

  // As the base class lays the line out, but the column is counted in
  // characters: Cyrillic takes two bytes a letter.
  std::string make_option(const CLI::Option* option, bool isPositional) const override {
    const std::string name =
        "  " + make_option_name(option, isPositional) + make_option_opts(option);
    const std::string description = make_option_desc(option);
    std::string line = Pad(name, column_width_);
    if (!description.empty()) {
      if (DisplayWidth(name) >= column_width_) line += "\n" + std::string(column_width_, ' ');
      for (const char c : description) {
        line += c;
        if (c == '\n') line += std::string(column_width_, ' ');
      }
    }
    return line + "\n";
  }

  // The option's value as the base class shows it, with the notes in Russian.
  std::string make_option_opts(const CLI::Option* option) const override {
    if (!option->get_option_text().empty()) return " " + option->get_option_text();
    std::ostringstream out;
    if (option->get_type_size() != 0) {
      out << TypeText(option->get_type_name());
      if (!option->get_default_str().empty()) out << "=" << option->get_default_str();
      if (option->get_expected_max() == CLI::detail::expected_max_vector_size) {
        out << " ...";
      } else if (option->get_expected_min() > 1) {
        out << " x " << option->get_expected();
      }
      if (option->get_required()) out << " (обязательно)";
    }
    for (const CLI::Option* needed : option->get_needs()) {
      out << " (только вместе с " << needed->get_name() << ")";
    }
    for (const CLI::Option* excluded : option->get_excludes()) {
      out << " (не вместе с " << excluded->get_name() << ")";
    }
    return out.str();
  }

 private:
  // "TEXT:{XY,XZ,YZ}": the type in Russian, then what its checks say.
  std::string TypeText(const std::string& typeName) const {
    if (typeName.empty()) return "";
    const std::size_t checks = typeName.find(':');
    return " " + get_label(typeName.substr(0, checks)) +
           (checks == std::string::npos ? "" : typeName.substr(checks));
  }
};

}  // namespace

void SpeakRussianInHelp(CLI::App& app) {
  app.formatter(std::make_shared<RussianHelp>());
  app.group("Команды");  // the heading of the subcommands, which take it over
  app.set_help_flag("-h,--help", "показать эту справку и выйти");
}

}  // namespace h33
