#include "sound_engines.h"

#include <gtest/gtest.h>

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
    const auto rows = ParseSoundEngines("# game\tengine\r\nAero the Acro-Bat\tGEMS\r\n\nNo tab here\nPuyo Puyo\tCompile custom\n");
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
    EXPECT_EQ(engines(rows), (std::vector<std::string>{"<unknown custom>", "accolade custom", "NCS/x",
                                                       "--non-working - unknown--", "Novotrade custom",
                                                       "pre-SMPS Z80 (banked)", "pre-SMPS Z80", "SMPS Z80",
                                                       "SMPS Z80 (banked)", "SMPS Z80"}));
    EXPECT_EQ(rows[7].game, "Zaxxon's Motherbase 2000 (Parasquad)(32X)");
}

TEST(SoundEngines, OrdersGamesWithinAnEngine)
{
    const auto rows = sorted({{"Bubsy", "GEMS"}, {"aladdin", "GEMS"}, {"Bubsy II", "GEMS"}, {"36 Great Holes", "GEMS"}});
    std::vector<std::string> games;
    for (const auto& row : rows)
        games.push_back(row.game);
    EXPECT_EQ(games, (std::vector<std::string>{"36 Great Holes", "aladdin", "Bubsy II", "Bubsy"}));
}

TEST(SoundEngines, TheShippedListKeepsEveryRowAndGroupsEachEngineOnce)
{
    std::ifstream file(VARNOQUIL_SOUND_ENGINES_TSV);
    std::stringstream text;
    text << file.rdbuf();
    const auto original = ParseSoundEngines(text.str());
    const auto rows = sorted(original);
    ASSERT_GT(rows.size(), 100u);
    EXPECT_EQ(rows.size(), original.size());
    EXPECT_EQ(rows.front().engine.front(), '<');

    // Apart from the lone row, each engine's rows stand together.
    std::vector<std::string> groups = engines(rows);
    std::multiset<std::string> seen(groups.begin(), groups.end());
    for (const auto& engine : seen)
        EXPECT_LE(seen.count(engine), engine == "SMPS Z80" ? 2u : 1u) << engine;
}
