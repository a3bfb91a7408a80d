#pragma once

namespace CLI {
class App;
}

namespace h33 {

// The commands' --help in the language of every other message: the option
// parser's own headings, placeholders, notes and the help flag's text. Call
// it on a fresh app, before its options and subcommands: they take the
// settings over when they are added.
void SpeakRussianInHelp(CLI::App& app);

}  // namespace h33
