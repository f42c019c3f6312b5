// SPDX-License-Identifier: MIT
#include "rom_builder.h"
#include "ui/sound_engines.h"

#include <gtest/gtest.h>

#include <set>

using namespace varnoquil;

// The row that stands alone before the engines that extend its own.
const std::string kLone = "Zaxxon's Motherbase 2000 (Parasquad)(32X)";

std::string Games(const std::vector<SoundEngineRow>& rows)
{
    std::string games;
    for (const auto& row : rows)
        games += row.game + "|";
    return games;
}

TEST(SoundEngines, ParsesTabSeparatedRowsSkipsCommentsFindsTextIgnoringCaseAndSortsNotesThenEngines)
{
    const auto rows = ParseSoundEngines("# game\tengine\r\nAero\tGEMS\r\n\nNo tab here\nPuyo Puyo\tCompile custom\n"
                                        "Gemfire\tKoei/type-1\n");
    EXPECT_EQ(Games(rows) + rows[0].engine + "|" + rows[1].engine, "Aero|Puyo Puyo|Gemfire|GEMS|Compile custom");
    // A game's name and an engine's, in the rows' order; the command-line
    // test finds games by name and lists every row for no text.
    EXPECT_EQ(Games(SoundEnginesMatching(rows, "gEm")), "Aero|Gemfire|");
    EXPECT_EQ(Games(SoundEnginesMatching(rows, "aero")) + Games(SoundEnginesMatching(ShippedSoundEngines(), "zaxxon")),
              "Aero|" + kLone + "|");

    // Notes in angle brackets come first; then engines, and games within
    // one, ignoring case, hyphens and apostrophes, a text that extends
    // another before it. The lone row stands before every engine that
    // extends its own.
    // clang-format off
    std::vector<SoundEngineRow> sorted = {
        {"bubsy", "GEMS"}, {"a", "Novotrade custom"}, {"b", "SMPS Z80"}, {"c", "--non-working - unknown--"},
        {"d", "<unknown custom>"}, {"e", "68k custom"}, {"f", "SMPS Z80 (banked)"}, {"h", "accolade custom"},
        {"g", "SMPS Z80 ('SMPS light' mod)"}, {"Bubsy", "GEMS"}, {"aladdin", "GEMS"}, {"Bubsy II", "GEMS"},
        {"36 Great Holes", "GEMS"}, {"i", "GEMS-custom"}, {kLone, "SMPS Z80"}};
    // clang-format on
    SortSoundEngines(sorted);
    EXPECT_EQ(Games(sorted), "d|e|h|i|36 Great Holes|aladdin|Bubsy II|Bubsy|bubsy|c|a|" + kLone + "|f|g|b|");
}

TEST(SoundEngines, TheProgramShipsTheDataFileWithEachEngineInOneGroup)
{
    const vtest::a_byte file = vtest::ReadFile(VARNOQUIL_SOUND_ENGINES_TSV);
    EXPECT_EQ(SoundEngineListText(), std::string(file.begin(), file.end()));
    std::set<std::string> seen;
    std::string last;
    for (const auto& row : ShippedSoundEngines())
        if (row.engine != last && row.game != kLone) {
            EXPECT_TRUE(seen.insert(row.engine).second) << row.engine << " stands in two groups";
            last = row.engine;
        }
}
