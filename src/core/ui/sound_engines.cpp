// SPDX-License-Identifier: MIT
#include "ui/sound_engines.h"

#include "text.h"

#include <algorithm>
#include <iterator>
#include <sstream>

namespace varnoquil {

namespace {

// Rows that stand alone before every engine that extends theirs.
const std::vector<SoundEngineRow> kLoneRows = {
    {"Zaxxon's Motherbase 2000 (Parasquad)(32X)", "SMPS Z80"},
};

std::string sortKey(const std::string& text)
{
    std::string key;
    for (char c : text) {
        if (c == '-' || c == '\'')
            continue;
        key += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    return key;
}

bool isNote(const std::string& engine)
{
    return !engine.empty() && engine.front() == '<' && engine.back() == '>';
}

bool isLone(const SoundEngineRow& row)
{
    return std::any_of(kLoneRows.begin(), kLoneRows.end(),
                       [&](const SoundEngineRow& lone) { return lone.game == row.game && lone.engine == row.engine; });
}

// Like CompareListText, but a lone row's engine goes before the engines that
// extend it, and before the rest of its own engine.
int compareEngines(const SoundEngineRow& a, const SoundEngineRow& b)
{
    const std::string ka = sortKey(a.engine), kb = sortKey(b.engine);
    const bool aLone = isLone(a), bLone = isLone(b);
    if (ka == kb)
        return int(bLone) - int(aLone);
    if (kb.compare(0, ka.size(), ka) == 0)
        return aLone ? -1 : 1;
    if (ka.compare(0, kb.size(), kb) == 0)
        return bLone ? 1 : -1;
    return ka < kb ? -1 : 1;
}

} // namespace

int CompareListText(const std::string& a, const std::string& b)
{
    const std::string ka = sortKey(a), kb = sortKey(b);
    if (ka == kb)
        return a.compare(b);
    if (kb.compare(0, ka.size(), ka) == 0)
        return 1;
    if (ka.compare(0, kb.size(), kb) == 0)
        return -1;
    return ka < kb ? -1 : 1;
}

std::vector<SoundEngineRow> ParseSoundEngines(const std::string& text)
{
    std::vector<SoundEngineRow> rows;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        const auto tab = line.find('\t');
        if (line.empty() || line[0] == '#' || tab == std::string::npos)
            continue;
        rows.push_back({line.substr(0, tab), line.substr(tab + 1)});
    }
    return rows;
}

void SortSoundEngines(std::vector<SoundEngineRow>& rows)
{
    std::stable_sort(rows.begin(), rows.end(), [](const SoundEngineRow& a, const SoundEngineRow& b) {
        if (isNote(a.engine) != isNote(b.engine))
            return isNote(a.engine);
        if (const int byEngine = compareEngines(a, b))
            return byEngine < 0;
        return CompareListText(a.game, b.game) < 0;
    });
}

std::vector<SoundEngineRow> ShippedSoundEngines()
{
    std::vector<SoundEngineRow> rows = ParseSoundEngines(std::string(SoundEngineListText()));
    SortSoundEngines(rows);
    return rows;
}

std::vector<SoundEngineRow> SoundEnginesMatching(const std::vector<SoundEngineRow>& rows, const std::string& text)
{
    const std::string wanted = LowerAscii(text);
    std::vector<SoundEngineRow> matching;
    std::copy_if(rows.begin(), rows.end(), std::back_inserter(matching), [&](const SoundEngineRow& row) {
        return LowerAscii(row.game).find(wanted) != std::string::npos
            || LowerAscii(row.engine).find(wanted) != std::string::npos;
    });
    return matching;
}

} // namespace varnoquil
