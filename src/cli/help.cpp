// SPDX-License-Identifier: MIT
#include "help.h"

#include <algorithm>
#include <sstream>
#include <vector>

namespace varnoquil::cli {

namespace {

constexpr std::size_t kWidth = 79;
// Descriptions start at this column at most; longer names put theirs on the
// next line.
constexpr std::size_t kMostLeftColumn = 24;

// Lays a paragraph out in lines that start at column indent: the caller's
// text stands before the first, blanks before the others.
std::string wrapParagraph(const std::string& paragraph, std::size_t width, std::size_t indent)
{
    std::istringstream words(paragraph);
    std::string text, line;
    for (std::string word; words >> word;) {
        if (!line.empty() && indent + line.size() + 1 + word.size() > width) {
            text += line + "\n" + std::string(indent, ' ');
            line.clear();
        }
        line += (line.empty() ? "" : " ") + word;
    }
    return text + line;
}

// "-r, --recursive", "    --preset NAME": long names line up under long names.
std::string optionNames(const CLI::Option* option)
{
    std::string names;
    for (const std::string& name : option->get_snames())
        names += "-" + name + ", ";
    names = names.empty() ? "    " : names;
    const std::vector<std::string>& longNames = option->get_lnames();
    names += "--" + longNames.front();
    if (!option->get_type_name().empty())
        names += " " + option->get_type_name();
    return names;
}

std::string twoColumns(const std::vector<std::pair<std::string, std::string>>& rows)
{
    std::size_t left = 0;
    for (const auto& row : rows)
        left = std::max(left, row.first.size() + 4);
    left = std::min(left, kMostLeftColumn);
    std::string text;
    for (const auto& [name, description] : rows) {
        std::string line = "  " + name;
        line += line.size() + 2 > left ? "\n" + std::string(left, ' ') : std::string(left - line.size(), ' ');
        text += line + Wrap(description, kWidth, left) + "\n";
    }
    return text;
}

} // namespace

std::string Wrap(const std::string& text, std::size_t width, std::size_t indent)
{
    std::string wrapped;
    for (std::size_t at = 0; at <= text.size();) {
        const std::size_t end = std::min(text.find("\n\n", at), text.size());
        wrapped += (wrapped.empty() ? "" : "\n\n") + wrapParagraph(text.substr(at, end - at), width, indent);
        at = end + 2;
    }
    return wrapped;
}

void HelpFormatter::addPage(const std::string& command, HelpPage page)
{
    pages_[command] = std::move(page);
}

std::string HelpFormatter::make_help(const CLI::App* app, std::string, CLI::AppFormatMode) const
{
    const HelpPage& page = pages_.at(app->get_name());
    const std::string usage = "Usage: ";
    const std::string command = app->get_parent() ? "varnoquil-cli " + app->get_name() + " " : "varnoquil-cli ";
    std::string help = usage + command + Wrap(page.synopsis, kWidth, usage.size() + command.size()) + "\n";
    help += Wrap(app->get_description(), kWidth) + "\n";
    help += commands(app);
    help += "\nOptions:\n" + options(app);
    if (!page.notes.empty())
        help += "\n" + Wrap(page.notes, kWidth) + "\n";
    return help;
}

std::string HelpFormatter::commands(const CLI::App* app) const
{
    std::vector<std::pair<std::string, std::string>> rows;
    for (const CLI::App* sub : app->get_subcommands({}))
        rows.emplace_back(sub->get_name(), pages_.at(sub->get_name()).summary);
    return rows.empty() ? "" : "\nCommands:\n" + twoColumns(rows);
}

std::string HelpFormatter::options(const CLI::App* app) const
{
    std::vector<std::pair<std::string, std::string>> rows;
    const auto own = app->get_options(
        [app](const CLI::Option* option) { return option->nonpositional() && option != app->get_help_ptr(); });
    rows.reserve(own.size() + 1);
    for (const CLI::Option* option : own)
        rows.emplace_back(optionNames(option), option->get_description());
    const CLI::Option* help = app->get_help_ptr();
    rows.emplace_back(optionNames(help), help->get_description());
    return twoColumns(rows);
}

} // namespace varnoquil::cli
