// SPDX-License-Identifier: MIT
#pragma once

#include <CLI/CLI.hpp>

#include <cstddef>
#include <map>
#include <string>

// The tool's help, laid out as Unix tools lay theirs out: a usage line, what
// the command does, its options in two columns and notes, every line within
// 80 columns.
namespace varnoquil::cli {

// What a command's help says besides its description and options.
struct HelpPage {
    std::string synopsis; // what follows "Usage: "
    std::string summary; // one line in the list of commands
    std::string notes; // paragraphs after the options, apart by a blank line
};

class HelpFormatter : public CLI::Formatter {
public:
    void addPage(const std::string& command, HelpPage page);
    std::string make_help(const CLI::App* app, std::string name, CLI::AppFormatMode mode) const override;

private:
    std::string commands(const CLI::App* app) const;
    std::string options(const CLI::App* app) const;

    std::map<std::string, HelpPage> pages_;
};

// Lays text out in lines of at most width columns that start at column
// indent: the caller's text stands before the first line, blanks before the
// others. Paragraphs apart by a blank line stay apart.
std::string Wrap(const std::string& text, std::size_t width, std::size_t indent = 0);

} // namespace varnoquil::cli
