// SPDX-License-Identifier: MIT
#pragma once

#include <string>
#include <string_view>
#include <vector>

// The sound engine list: games and the sound engine (music driver) each uses,
// shown for information only.
namespace varnoquil {

struct SoundEngineRow {
    std::string game;
    std::string engine;
};

// Parses the list's tab-separated text: one "game<TAB>engine" row per line;
// empty lines and lines starting with "#" are skipped.
std::vector<SoundEngineRow> ParseSoundEngines(const std::string& text);

// Puts rows in the list's order: engines that are notes in angle brackets
// first, then engines alphabetically without regard to case or hyphens, an
// engine whose text extends another's coming first ("SMPS Z80 (banked)"
// before "SMPS Z80"); within an engine, games in the same order. A few rows
// stand alone before the engines that extend theirs.
void SortSoundEngines(std::vector<SoundEngineRow>& rows);

// Orders two texts as the list does: ignoring ASCII case, hyphens and
// apostrophes, a text that extends another before it. Negative, 0, positive.
int CompareListText(const std::string& a, const std::string& b);

// The list as it ships (data/sound-engines.tsv, built into the program).
std::string_view SoundEngineListText();

// The shipped list's rows, in the list's order.
std::vector<SoundEngineRow> ShippedSoundEngines();

// The rows whose game or engine contains text, ignoring ASCII case; all rows
// for an empty text. The order is kept.
std::vector<SoundEngineRow> SoundEnginesMatching(const std::vector<SoundEngineRow>& rows, const std::string& text);

} // namespace varnoquil
