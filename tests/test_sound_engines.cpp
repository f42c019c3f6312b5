// SPDX-License-Identifier: MIT
#include "sound_engines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <set>
#include <sstream>

using namespace varnoquil;

namespace {

std::vector<std::string> engines(const std::vector<SoundEngineRow>& rows)
{
    std::vector<std::string> result;
    for (const auto& row : rows)
        if (result.empty() || result.back() != row.engine)
            result.push_back(row.engine);
    return result;
}

std::vector<SoundEngineRow> sorted(std::vector<SoundEngineRow> rows)
{
    SortSoundEngines(rows);
    return rows;
}

} // namespace

TEST(SoundEngines, ParsesTabSeparatedRowsAndSkipsComments)
{
    const auto rows
        = ParseSoundEngines("# game\tengine\r\nAero the Acro-Bat\tGEMS\r\n\nNo tab here\nPuyo Puyo\tCompile custom\n");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1].game, "Puyo Puyo");
    EXPECT_EQ(rows[1].engine, "Compile custom");
}

TEST(SoundEngines, OrdersEnginesNotesFirstIgnoringCaseAndHyphensExtensionsFirst)
{
    const auto rows = sorted({{"a", "Novotrade custom"},
                              {"b", "SMPS Z80"},
                              {"c", "--non-working - unknown--"},
                              {"d", "<unknown custom>"},
                              {"e", "NCS/x"},
                              {"f", "SMPS Z80 (banked)"},
                              {"g", "pre-SMPS Z80"},
                              {"h", "pre-SMPS Z80 (banked)"},
                              {"i", "accolade custom"},
                              {"Zaxxon's Motherbase 2000 (Parasquad)(32X)", "SMPS Z80"}});
    EXPECT_EQ(engines(rows),
              (std::vector<std::string>{"<unknown custom>", "accolade custom", "NCS/x", "--non-working - unknown--",
                                        "Novotrade custom", "pre-SMPS Z80 (banked)", "pre-SMPS Z80", "SMPS Z80",
                                        "SMPS Z80 (banked)", "SMPS Z80"}));
    EXPECT_EQ(rows[7].game, "Zaxxon's Motherbase 2000 (Parasquad)(32X)");
}

TEST(SoundEngines, OrdersGamesWithinAnEngine)
{
    const auto rows
        = sorted({{"Bubsy", "GEMS"}, {"aladdin", "GEMS"}, {"Bubsy II", "GEMS"}, {"36 Great Holes", "GEMS"}});
    std::vector<std::string> games;
    for (const auto& row : rows)
        games.push_back(row.game);
    EXPECT_EQ(games, (std::vector<std::string>{"36 Great Holes", "aladdin", "Bubsy II", "Bubsy"}));
}

std::string DataFile()
{
    std::ifstream file(VARNOQUIL_SOUND_ENGINES_TSV);
    std::stringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(SoundEngines, TheProgramShipsTheDataFileAsItStands)
{
    EXPECT_EQ(SoundEngineListText(), DataFile());
    const auto shipped = ShippedSoundEngines();
    const auto rows = sorted(ParseSoundEngines(DataFile()));
    ASSERT_EQ(shipped.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(shipped[i].game + "\t" + shipped[i].engine, rows[i].game + "\t" + rows[i].engine) << i;
}

TEST(SoundEngines, MatchingLooksInGamesAndEnginesIgnoringCase)
{
    const std::vector<SoundEngineRow> rows
        = {{"Aero the Acro-Bat", "GEMS"}, {"Puyo Puyo", "Compile custom"}, {"Gemfire", "Koei/type-1"}, {"X", "y"}};
    const auto games = [](const std::vector<SoundEngineRow>& found) {
        std::vector<std::string> names;
        for (const auto& row : found)
            names.push_back(row.game);
        return names;
    };
    EXPECT_EQ(games(SoundEnginesMatching(rows, "gEm")), (std::vector<std::string>{"Aero the Acro-Bat", "Gemfire"}));
    EXPECT_EQ(games(SoundEnginesMatching(rows, "PUYO")), (std::vector<std::string>{"Puyo Puyo"}));
    EXPECT_EQ(SoundEnginesMatching(rows, "").size(), rows.size());
    EXPECT_TRUE(SoundEnginesMatching(rows, "zz").empty());
}

TEST(SoundEngines, TheShippedListGroupsEachEngineOnce)
{
    const auto original = ParseSoundEngines(DataFile());
    const auto rows = sorted(original);

    // Apart from the lone row, each engine's rows stand together.
    std::vector<std::string> groups = engines(rows);
    std::multiset<std::string> seen(groups.begin(), groups.end());
    for (const auto& engine : seen)
        EXPECT_LE(seen.count(engine), engine == "SMPS Z80" ? 2u : 1u) << engine;

    // Engines in the order they are shown: case, hyphens and apostrophes do
    // not count, and an engine that extends another comes first. The last
    // group of an engine is its main one.
    const auto at = [&groups](const std::string& engine) {
        return groups.rend() - std::find(groups.rbegin(), groups.rend(), engine) - 1;
    };
    for (const auto& ordered : std::vector<std::vector<std::string>>{
             {"GEMS-custom", "GEMS", "GRC"},
             {"PalSoft", "PLE-PLE", "pre-SMPS 68k", "pre-SMPS/Mucom 68k"},
             {"SMPS Z80 (banked)", "SMPS Z80 ('SMPS light' mod)", "SMPS Z80", "SMPS/Mucom 68k"}}) {
        for (std::size_t i = 0; i < ordered.size(); ++i) {
            EXPECT_GE(at(ordered[i]), 0) << ordered[i];
            if (i > 0) {
                EXPECT_LT(at(ordered[i - 1]), at(ordered[i])) << ordered[i - 1] << " / " << ordered[i];
            }
        }
    }
}
