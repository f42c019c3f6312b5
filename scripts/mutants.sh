#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Usage: scripts/mutants.sh [NAME-REGEX]
#
# Mutation testing: makes each small fault of the list below, one at a time,
# in a scratch copy of the tree, builds the tests that should notice it and
# runs them. A mutant is KILLED when a test fails (or the build does, or a
# test is still running after five minutes) and SURVIVED when every test
# still passes, which means no test checks that behaviour. Prints one line
# per mutant and a summary; exits 1 when a mutant survives or when a
# mutation's original text no longer stands exactly once in its file (so the
# list cannot silently go stale). With NAME-REGEX only the mutants whose
# description matches are tried.
#
# The working tree is never changed: the copy and its build folder live under
# ${TMPDIR:-/tmp} and are removed at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
only=${1:-}

# Each mutant: file (a glob is allowed; the text must then stand exactly once
# among the files it names), the original text, the text it becomes, the test
# targets to build, the tests to run (a ctest regex) and what it breaks.
files=() originals=() replacements=() targets=() tests=() descriptions=()
mutant()
{
    files+=("$1") originals+=("$2") replacements+=("$3") targets+=("$4") tests+=("$5") descriptions+=("$6")
}

# --- core ---------------------------------------------------------------
mutant src/core/rom/rom.cpp 'if (firstIndex % 2 == 1) {' 'if (firstIndex % 2 == 0) {' \
    'test_rom test_fix_gems' '^(Checksum|InformationText|FixGems)\.' \
    'checksum: a piece starting at an odd offset is taken as starting even'
mutant src/core/rom/rom.cpp 'high += data[n - 1];' 'low += data[n - 1];' \
    'test_rom test_fix_gems' '^(Checksum|FixGems)\.' \
    'checksum: a last odd byte counts as a low byte'
mutant src/core/rom/rom.cpp 'constexpr std::size_t kStepsPerFlush = 256;' 'constexpr std::size_t kStepsPerFlush = 258;' \
    'test_rom test_fix_gems' '^(Checksum|FixGems)\.' \
    'checksum: the 16-bit lanes overflow before they are emptied'
mutant src/core/rom/rom.cpp 'return static_cast<std::uint16_t>(sum);' 'return static_cast<std::uint16_t>(sum & 0x7FFF);' \
    'test_rom' '^(Checksum|InformationText)\.' \
    'checksum: the file sum loses its top bit instead of wrapping at 16 bits'
mutant src/core/gems/table_search.cpp 'const std::size_t candidates = n - N + 1;' 'const std::size_t candidates = n - N;' \
    'test_fix_gems' '^(Tables|FixGems)\.' \
    'gems search: a table that ends at the last byte is not a candidate'
mutant src/core/gems/table_search.cpp 'if (low < -1 || low > 1 || at[i + 1] != pattern[i + 1])' \
    'if (low < -1 || low > 2 || at[i + 1] != pattern[i + 1])' \
    'test_fix_gems' '^(Tables|FixGems)\.' \
    'gems search: a PSG low byte 2 above the pattern matches'
mutant src/core/gems/table_search.cpp 'return findFirst(data, n, pattern, 1, 3,' 'return findFirst(data, n, pattern, 0, 3,' \
    'test_fix_gems' '^(Tables|FixGems)\.' \
    'gems search: a PSG low byte, which may differ by 1, is a key'
mutant src/core/gems/pitch_tables.cpp 'return std::floor(x + 0.5L);' 'return std::floor(x);' \
    'test_fix_gems' '^(Tables|FixGems)\.' \
    'tables: values are cut instead of rounded half up'
mutant src/core/gems/pitch_tables.cpp 'if (++note == 12) {' 'if (++note == 13) {' \
    'test_fix_gems' '^(Tables|FixGems)\.' \
    'tables: the PSG octave changes a note late'
mutant src/core/gems/pitch_tables.cpp 'count += value > limit;' 'count += value >= limit;' \
    'test_fix_gems' '^(Tables|FixGems)\.' \
    'tables: a value equal to the limit counts as above it'
mutant src/core/gems/table_search.cpp 'const std::size_t keep = std::min(window.size(), size - 1);' \
    'const std::size_t keep = std::min(window.size(), size - 2);' \
    'test_fix_gems' '^(Tables|FixGems)\.' \
    'gems search: a table across two pieces is missed'
mutant src/core/gems/fix_gems.cpp 'return {&plan.fm, &plan.psg};' 'return {&plan.psg, &plan.fm};' \
    'test_fix_gems' '^FixGems\.' \
    'fix gems: the FM table is written after an overlapping PSG table'
mutant src/core/gems/fix_gems.cpp 'return length >= kChecksumOffset + 2;' 'return length > kChecksumOffset + 2;' \
    'test_fix_gems' '^FixGems\.' \
    'fix gems: an image that ends with the checksum field gets no checksum'
mutant src/core/browser/browser.cpp 'const auto dot = name.find_last_of('"'.'"');' 'const auto dot = name.find_first_of('"'.'"');' \
    'test_browser' '^(Browser|BrowserFolder)\.' \
    'browser: the extension starts at the first dot of a name'
mutant src/core/browser/browser.cpp 'return UpperAscii(Extension(name)) == ".BIN";' 'return Extension(name) == ".BIN";' \
    'test_browser' '^(Browser|BrowserFolder)\.' \
    'browser: a lower-case .bin is not a ROM image'
mutant src/core/browser/browser.cpp 'if (entry.directory && !entry.hidden)' 'if (entry.directory)' \
    'test_browser' '^(Browser|BrowserFolder)\.' \
    'browser: hidden folders are listed'
mutant src/core/browser/browser.cpp 'return la != lb ? la < lb : a < b;' 'return a < b;' \
    'test_browser' '^(Browser|BrowserFolder)\.' \
    'browser: names are sorted by byte, not ignoring case'
mutant src/core/browser/browser.cpp 'if (!entry.directory && passes(entry.name, filter))' 'if (passes(entry.name, filter))' \
    'test_browser' '^(Browser|BrowserFolder)\.' \
    'browser: a folder with an image name is listed again among the files'
mutant src/core/gems/scale.cpp "return digits >= 3 ? text : text + std::string(3 - digits, '0');" \
    "return digits >= 2 ? text : text + std::string(3 - digits, '0');" \
    'test_scale' '^(ScaleTexts|Presets)\.' \
    'scale text: two decimals are not padded to three'
mutant src/core/gems/scale.cpp 'const double rounded = std::nearbyint(value * 1000.0);' \
    'const double rounded = std::trunc(value * 1000.0);' \
    'test_scale' '^(ScaleTexts|Presets)\.' \
    'scale text: thousandths are cut instead of rounded'
mutant src/core/errors.cpp '    case EROFS:' '' \
    'test_files' '^(IoErrors|Files)\.' \
    'errors: a read-only file system is no longer "File access denied"'
mutant src/core/errors.cpp 'case ENOENT: return IoCode::FileNotFound;' 'case ENOENT: return IoCode::InvalidFilename;' \
    'test_files' '^(IoErrors|Files)\.' \
    'errors: a missing file is reported as an invalid name'
mutant src/core/platform/binary_file.cpp '        done += got;' '        done -= got;' \
    'test_files' '^(IoErrors|Files)\.' \
    'files: a block that runs past the end of a file is read without an error'
mutant src/core/platform/binary_file.cpp 'readSome(bytes + done, n - done)' 'readSome(bytes - done, n - done)' \
    'test_files' '^Files\.' \
    'files: the rest of a block that came short is read in front of the buffer'
mutant src/core/platform/binary_file.cpp 'readSome(bytes + done, n - done)' 'readSome(bytes + done, n + done)' \
    'test_files' '^Files\.' \
    'files: the rest of a block that came short reads into the next block'
mutant src/core/platform/posix_memory.cpp 'return (bytes + kHugePage - 1) / kHugePage * kHugePage;' \
    'return (bytes + kHugePage - 2) / kHugePage * kHugePage;' \
    'test_files' '^ImageMemory\.' \
    'image memory: a size one byte past a huge page is rounded down'
mutant src/core/platform/posix_shared_library.cpp '        raiseLoadFailure(name_);' '        (void)0;' \
    'test_files' '^SharedLibraries\.' \
    'shared library: a library that is not there is taken without a word'
mutant src/core/platform/posix_shared_library.cpp '        raiseLoadFailure(name_ + " (" + name + ")");' '        (void)0;' \
    'test_files' '^SharedLibraries\.' \
    'shared library: a function that is not there is given as a null pointer'
mutant src/core/ui/start_place.cpp '        platform::requireListable(path);' '        (void)0;' \
    'test_start_place' '^unprivileged\.test_start_place$' \
    'start place: a folder that cannot be listed is taken as the start'
mutant src/core/ui/start_place.cpp '    platform::requireListable(place.folder);' '    (void)0;' \
    'test_start_place' '^unprivileged\.test_start_place$' \
    'start place: a file in a folder that cannot be listed is taken as the start'
mutant src/core/platform/posix_binary_file.cpp '} while (got < 0 && errno == EINTR);
    if (got < 0)
        raiseErrno(path_);
    return' '} while (got < 0 || errno == EINTR);
    if (got < 0)
        raiseErrno(path_);
    return' \
    'test_files' '^Files\.' \
    'files: an EINTR left in errno makes a read that worked start again (the test waits for its cut-off)'
mutant src/core/platform/posix_signal_cleanup.cpp 'std::size(pendingSlots)); ++i) {' 'std::size(pendingSlots)); --i) {' \
    'test_files' '^Files\.' \
    'signals: a second pending file is noted outside the table, and outlives SIGTERM'
mutant src/core/errors.cpp ': FileError(role == Role::Input ?' ': FileError(role == Role::Output ?' \
    'test_files test_fix_gems' '^(IoErrors|Files|PendingFile|FixGems)\.' \
    'errors: the refusal of a file that is not regular names the wrong side'
mutant src/core/platform/posix_pending_file.cpp 'replacing ? 0600 : 0666' 'replacing ? 0666 : 0600' \
    'test_files test_fix_gems' '^(Files|PendingFile|FixGems)\.' \
    'pending file: a new output is private, a replacement open to all until commit'
mutant src/core/browser/browser.cpp 'found.push_back({folder, error.what()});' ';' \
    'test_browser' '^(Browser|BrowserFolder)\.' \
    'browser: a folder that cannot be read is left out of a collection unseen'
mutant src/core/browser/browser.cpp 'if (IsRomImage(entry.name) || (recursive && !entry.hidden))' \
    'if (IsRomImage(entry.name) || (recursive && entry.hidden))' \
    'varnoquil-cli' '^cli_faults$' \
    'browser: an unreadable subfolder is left out of a recursive collection, a hidden one reported'
mutant src/core/platform/mount_table.cpp "(field[at + 1] - '0') * 64" "(field[at + 1] - '0') / 64" \
    'test_mount_table' '^MountTable\.' \
    'mount table: the first of three octal digits in an escaped name is not scaled'
mutant src/core/platform/mount_table.cpp "(field[at + 1] - '0') * 64" "(field[at + 2] - '0') * 64" \
    'test_mount_table' '^MountTable\.' \
    'mount table: an escaped name reads its second octal digit twice'
mutant src/core/platform/posix_drives.cpp '    if (!dir)' '    if (dir)' \
    'test_files' '^Files\.' \
    'drives: no label is read from a label folder that opens'
mutant src/core/platform/posix_drives.cpp 'if (name[0] != '"'"'.'"'"' && resolvedPath(std::string(labelFolder).append("/").append(name)) == deviceTarget) {' 'if (!(name[0] != '"'"'.'"'"' && resolvedPath(std::string(labelFolder).append("/").append(name)) == deviceTarget)) {' \
    'test_files' '^Files\.' \
    'drives: a device takes the label of the first link that does not lead to it'
mutant src/core/platform/posix_drives.cpp 'resolvedPath(std::string(labelFolder).append("/").append(name)) == deviceTarget' 'resolvedPath(std::string(labelFolder).append("/").append(name)) != deviceTarget' \
    'test_files' '^Files\.' \
    'drives: a device takes the label of another device'
mutant src/core/platform/posix_drives.cpp 'nullptr, 16)' 'nullptr, 17)' \
    'test_files' '^Files\.' \
    'drives: an escaped character of a label is read in base 17'
mutant src/core/platform/posix_drives.cpp 'label.replace(at, 4, 1,' 'label.replace(at, 4, 2,' \
    'test_files' '^Files\.' \
    'drives: an escaped character of a label is written twice'
mutant src/core/platform/posix_drives.cpp 'label.replace(at, 4, 1,' 'label.replace(at, 5, 1,' \
    'test_files' '^Files\.' \
    'drives: an escaped character of a label takes the next character with it'
mutant src/core/platform/posix_drives.cpp '        if (flag >> value)' '        if (!(flag >> value))' \
    'test_files' '^Files\.' \
    'drives: a partition is never removable'
mutant src/core/rom/checksum_repair.cpp 'if (HoldsReorderedImage(format) && force)' 'if (false)' \
    'test_cli' '^(Cli|Collections)\.' \
    'checksum repair: forced, two bytes land in a reordered dump'
mutant src/core/gems/fix_gems.cpp 'ForFile(request.inFile, [&] { RequireCartridgeFormat(DetectFormat(in)); });' ';' \
    'test_fix_gems test_cli' '^(FixGems|Collections)\.' \
    'fix gems: the checksum of a disc image or a dump is written at 0x18E'
mutant src/core/platform/posix_process.cpp 'if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)' 'if (true)' \
    'varnoquil-cli' '^cli_faults$' \
    'descriptors: a closed standard output is taken by the first image opened'
mutant src/core/gems/fix_gems.cpp '        if (progress.cancelled())
            throw CancelledError();' '' \
    'test_fix_gems' '^FixGems\.' \
    'fix gems: a cancelled run goes on and writes its output'
mutant src/core/rom/image_report.cpp 'if (report.imageSize < kChecksumStart)' 'if (report.imageSize <= kChecksumStart)' \
    'test_rom_format' '^(ImageReport|HeaderText|RomFormat)\.' \
    'report: an image of a header alone cannot be read'
mutant src/core/rom/rom_format.cpp 'if (!HoldsReorderedImage(format))' 'if (false)' \
    'test_rom_format' '^(ImageReport|HeaderText|RomFormat)\.' \
    'convert: a file that is no dump is written out as it is'
mutant src/core/rom/rom_header.cpp 'return text.substr(first, text.find_last_not_of(" \0", std::string::npos, 2) - first + 1);' \
    'return text.substr(first, text.find_last_not_of(" ") - first + 1);' \
    'test_rom_format' '^(ImageReport|HeaderText|RomFormat)\.' \
    'report: a country digit followed by zero bytes gives no region'
mutant src/core/platform/posix_pending_file.cpp '::fchmod(temp_.fd_, static_cast<mode_t>(mode_)) != 0' 'false' \
    'test_files' '^Files\.' \
    'pending file: a replaced file loses its mode'
mutant src/core/platform/posix_pending_file.cpp 'if (::access(target.c_str(), W_OK) != 0)' 'if (false)' \
    'test_files' '^unprivileged\.test_files$' \
    'pending file: a file its owner may not write is replaced all the same'
mutant src/core/rom/rom_header.cpp 'if (word == "eur" || word == "europe")' 'if (word == "europe")' \
    'test_rom_format' '^(RomFormat|HeaderDecode|HeaderText|ImageReport)\.' \
    'regions: "EUR" is read letter by letter, as Europe and the Americas'
mutant src/core/rom/rom_header.cpp "return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F');" \
    "return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'f');" \
    'test_rom_format' '^(RomFormat|HeaderDecode|HeaderText|ImageReport)\.' \
    'regions: a lower-case letter is read as a hexadecimal digit'
mutant src/core/rom/rom_header.cpp 'backup.kind = lanes == 0x18 ? "sram-odd"' 'backup.kind = lanes == 0x10 ? "sram-odd"' \
    'test_rom_format' '^(RomFormat|HeaderDecode|HeaderText|ImageReport)\.' \
    'backup memory: SRAM on even bytes is taken for SRAM on odd ones'
mutant src/core/rom/rom_header.cpp 'if (FieldNumber(header, F::BackupKind) & 0x40)' 'if (FieldNumber(header, F::BackupKind) & 0x20)' \
    'test_rom_format' '^(RomFormat|HeaderDecode|HeaderText|ImageReport)\.' \
    'backup memory: static RAM is taken for an EEPROM'
mutant src/core/rom/rom_header.cpp 'if (holdsMarsSecurityCode(image, n))' 'if (n > 0)' \
    'test_rom_format' '^(RomFormat|HeaderDecode|HeaderText|ImageReport)\.' \
    'hardware: any image is said to hold the 32X security code'
mutant src/core/rom/rom_header.cpp 'if (contains(name, "TERA"))' 'if (contains(name, "TERRA"))' \
    'test_rom_format' '^(RomFormat|HeaderDecode|HeaderText|ImageReport)\.' \
    'system: a Teradrive program is taken for a Mega Drive game'
mutant src/core/rom/rom_format.cpp "&& probe.middle[0] == 'S' && probe.middle[1] == 'G';" "&& probe.middle[0] == 'S';" \
    'test_rom_format' '^(RomFormat|HeaderDecode|HeaderText|ImageReport)\.' \
    'formats: an MGD dump is known by half of its mark'
mutant src/core/rom/rom_format.cpp 'if (holdsAt(probe.start, kMarkAt, "ESAG"))' 'if (holdsAt(probe.start, kMarkAt, "SAGE"))' \
    'test_rom_format' '^(RomFormat|HeaderDecode|HeaderText|ImageReport)\.' \
    'formats: a byte-swapped image is not known'
mutant src/core/rom/rom_format.cpp 'start >= kProgramStart && start <' 'start > kProgramStart && start <' \
    'test_rom_format' '^(RomFormat|HeaderDecode|HeaderText|ImageReport)\.' \
    'formats: a program without a header that starts right after it is not known'
mutant src/core/rom/image_report.cpp 'if (offset <= romLast)' 'if (offset < romLast)' \
    'test_rom_format' '^ImageReport\.' \
    'report: a stated ROM end on the first byte of a piece of reading leaves that byte out of its sum'
mutant src/core/rom/image_report.cpp 'romLast - offset + 1)' 'romLast + offset + 1)' \
    'test_rom_format' '^ImageReport\.' \
    'report: the sum over the stated ROM runs to the end of the piece its end falls in'
mutant src/core/rom/checksum_repair.cpp 'if (facts.fileSize < kChecksumStart)' 'if (facts.fileSize <= kChecksumStart)' \
    'test_rom_format' '^ImageReport\.' \
    'repair: an image that is only its header is refused'
mutant src/core/rom/rom.cpp 'info.RomEnd - info.RomStart)' 'info.RomEnd + info.RomStart)' \
    'test_rom' '^InformationText\.' \
    'info: the ROM size adds the start address instead of taking it away'
mutant src/core/text.cpp "if (c >= 'A' && c <= 'Z')" "if (c > 'A' && c <= 'Z')" \
    'test_sound_engines' '^SoundEngines\.' \
    'text: A is not lowered, and the engine search misses "Aero" for "aero"'
mutant src/core/text.cpp "if (c >= 'A' && c <= 'Z')" "if (c >= 'A' && c < 'Z')" \
    'test_sound_engines' '^SoundEngines\.' \
    'text: Z is not lowered, and the engine search misses Zaxxon'
mutant src/core/rom/header_fields.h 'constexpr HeaderField RomType{0x180, 2};' 'constexpr HeaderField RomType{0x180, 3};' \
    'test_rom' '^InformationText\.' \
    'header: the type takes the version'"'"'s first byte, and "XA" + "L" reads as education'
mutant src/core/rom/header_fields.h 'constexpr HeaderField IoDevices{0x190, 16};' 'constexpr HeaderField IoDevices{0x190, 17};' \
    'test_rom' '^InformationText\.' \
    'header: the first byte of the ROM start is read as a device'
mutant src/core/rom/rom_header.h 'bool valid() const { return end >= start; }' 'bool valid() const { return end > start; }' \
    'test_rom_format' '^HeaderDecode\.' \
    'header: a range that ends where it starts is no range'
mutant src/core/rom/image_report.cpp 'if (romLast + 1 != report.imageSize)' 'if (romLast != report.imageSize)' \
    'test_rom_format' '^(RomFormat|HeaderDecode|HeaderText|ImageReport)\.' \
    'report: an image the size its header states gets a second checksum all the same'
mutant src/core/rom/rom_format.cpp 'std::min<std::uint64_t>(half - at, kReadPiece / 2)' \
    'std::min<std::uint64_t>(half + at, kReadPiece / 2)' \
    'test_rom_format' '^ImageReport\.' \
    'formats: the last piece of an MGD dump'"'"'s halves is read past their end'
mutant src/cli/long_report.cpp 'if (bytes >= kMiB)' 'if (bytes > kMiB)' \
    'test_cli' '^Collections\.' \
    'info --long: a size of exactly 1 MiB is shown as 1024 KiB'
mutant src/core/gems/pitch_tables.h 'for (std::size_t i = 0; i < N; ++i) {' 'for (std::size_t i = 1; i < N; ++i) {' \
    'test_fix_gems' '^(Tables)\.' \
    'tables: the first entry of a table is not written into the image'
mutant src/core/gems/fix_gems.h '    bool fmFixed = false;' '    bool fmFixed = true;' \
    'test_fix_gems' '^(FixGems)\.' \
    'Fix GEMS: a request that does nothing reports the FM table fixed'
mutant src/core/gems/scale.cpp '{"Little Low", 500, 500, false},' '{"Little Low", 501, 500, false},' \
    'test_scale' '^(ScaleTexts)\.' \
    'scales: a preset'"'"'s FM scale is off by a thousandth'
mutant src/core/gems/scale.cpp 'if (number.empty() || result.ec != std::errc()' 'if (number.empty() && result.ec != std::errc()' \
    'test_scale' '^(ScaleTexts)\.' \
    'scales: a scale too large for a double reads as 0 instead of being refused'

# --- hashes and DAT files -------------------------------------------------
mutant src/core/identify/hashes.cpp 'crc_ = libdeflate_crc32(crc_, data, n);' 'crc_ = libdeflate_crc32(0, data, n);' \
    'test_identify' '^(Hashes|DatFiles)\.' \
    'hashes: the CRC32 starts again at every piece'
mutant src/core/rom/rom_format.cpp 'ReadInPieces(file, half, even, takeStored);' ';' \
    'test_identify' '^(Hashes|DatFiles)\.' \
    'hashes: an MGD dump is hashed without its second half'
mutant src/core/rom/rom_format.cpp 'takeStored(piece.data(), piece.size(), 0);' ';' \
    'test_identify' '^(Hashes|DatFiles)\.' \
    'hashes: a copier dump is hashed without its copier header'
mutant src/core/rom/image_report.cpp 'if (HoldsReorderedImage(format))' 'if (true)' \
    'test_identify test_cli' '^(Hashes|DatFiles|Collections)\.' \
    'hashes: a plain image gets plain-image hashes too'
mutant src/core/identify/dat_file.cpp 'return text.size() <= 8 ? numberOf' 'return text.size() == 8 ? numberOf' \
    'test_identify' '^(Hashes|DatFiles)\.' \
    'DAT: a CRC32 without its leading zeros is refused'
mutant src/core/identify/dat_file.cpp 'return name.empty() ? game.child_value("description") : name;' 'return name;' \
    'test_identify' '^(Hashes|DatFiles)\.' \
    'DAT: a game without a name does not go by its description'
mutant src/core/identify/dat_file.cpp '|| std::strcmp(node.name(), "machine") == 0;' ';' \
    'test_identify' '^(Hashes|DatFiles)\.' \
    'DAT: the roms of a <machine> are left out'
mutant src/core/identify/dat_file.cpp 'std::size_t line = 1;' 'std::size_t line = 0;' \
    'test_identify' '^(Hashes|DatFiles)\.' \
    'DAT: an error names the line before its own'
mutant src/core/identify/dat_file.cpp 'if (size > DatFile::kMaxSize)' 'if (size > 4 * DatFile::kMaxSize)' \
    'test_identify' '^(Hashes|DatFiles)\.' \
    'DAT: a file of 300 MiB is read whole'
mutant src/core/identify/dat_index.h 'return std::tie(key, order) < std::tie(other.key, other.order);' \
    'return std::tie(key, other.order) < std::tie(other.key, order);' \
    'test_identify' '^(Hashes|DatFiles)\.' \
    'DAT: of two entries of one key, the last one wins'
mutant src/core/identify/dat_index.cpp 'else if (entry.crc32 && entry.size)' 'if (entry.crc32 && entry.size)' \
    'test_identify' '^(Hashes|DatFiles)\.' \
    'DAT: an entry with a SHA-1 matches a file of another SHA-1 by its CRC32 and size'
mutant src/core/identify/dat_index.cpp 'if (image.plainHashes)' 'if (false)' \
    'test_cli' '^(Cli|Collections)\.' \
    'identify: the plain image a dump holds is not looked up'
mutant src/core/rom/checksum_repair.cpp 'if (dats && !force)' 'if (false)' \
    'test_cli' '^(Cli|Collections)\.' \
    'checksum repair: an image a DAT lists is changed'
mutant src/core/identify/dat_index.cpp 'bySha1_.push_back({*entry.sha1, added_++, match});' \
    'bySha1_.push_back({*entry.sha1, added_--, match});' \
    'test_identify' '^(DatFiles)\.' \
    'DAT: of two entries with one SHA-1 after the first entry of all, the later wins'
mutant src/core/identify/hashes.h 'return crc32 || md5 || sha1 || sha256;' 'return crc32 || md5 || (sha1 && sha256);' \
    'test_cli' '^(Collections)\.' \
    'hash --sha256 alone prints a SHA-1 as well'

# --- command-line tool --------------------------------------------------
mutant src/cli/batch.cpp 'if (failed_ > 0)' 'if (failed_ > 1)' \
    'test_cli' '^(Cli|Collections)\.' \
    'cli: one failed file in a batch still exits 0'
mutant src/cli/batch.cpp 'case Outcome::ChecksumFixed: ++fixed_; break;' 'case Outcome::ChecksumFixed: ++equal_; break;' \
    'test_cli' '^(Cli|Collections)\.' \
    'cli: the batch summary counts a fixed file as equal'
mutant src/cli/batch.cpp 'many_(paths.size() > 1 ||' 'many_(paths.size() > 2 ||' \
    'test_cli' '^(Cli|Collections)\.' \
    'cli: two files get no batch summary'
mutant src/cli/batch.cpp 'if (!identity || !paths[i].problem.empty())' 'if (identity && paths[i].problem.empty())' \
    'test_cli' '^Collections\.' \
    'cli: a file named twice is repaired by two workers at once'
mutant src/cli/console.cpp '        raiseOutError(errno);
}

void ShowOut' '        (void)0;
}

void ShowOut' \
    'varnoquil-cli' '^cli_faults$' \
    'cli: a result that cannot be written does not stop the run, which fixes every image after it'
mutant src/cli/batch.cpp '        stop = true;' '        stop = false;' \
    'varnoquil-cli' '^cli_faults$' \
    'cli: the workers go on fixing images after printing has failed'
mutant src/cli/long_report.cpp '    return wordsFor(names, key, key);' '    return wordsFor(names, key, key).substr(0, 0);' \
    'test_cli' '^Collections\.' \
    'cli: the long report leaves the hardware and the backup memory'"'"'s kind blank'
mutant src/cli/long_report.cpp '        places.push_back("FM at " + hex6(static_cast<std::uint32_t>(offset)));' '        (void)offset;' \
    'test_cli' '^Collections\.' \
    'cli: the long report leaves out the FM tables'
mutant src/cli/long_report.cpp '    else if (bytes >= kKiB)' '    else if (bytes > kKiB)' \
    'test_cli' '^Collections\.' \
    'cli: a size of exactly 1 KiB reads "1024 bytes"'
mutant src/cli/single_commands.cpp '        if (options.json)
            WriteOut(JsonLine(ErrorJson' '        if (!options.json)
            WriteOut(JsonLine(ErrorJson' \
    'test_cli' '^Cli\.' \
    'cli: fix-gems writes its JSON error line only without --json'
mutant src/cli/help.h 'std::size_t indent = 0);' 'std::size_t indent = 1);' \
    'varnoquil-cli test_cli' '^Cli\.' \
    'cli: the notes of a help wrap one column in'
mutant src/cli/console.cpp '    flushOutQuietly();
    std::fwrite(text.data(), 1, text.size(), stderr);' '    std::fwrite(text.data(), 1, text.size(), stderr);' \
    'test_cli' '^(Cli|Collections)\.' \
    'cli: a message goes to a shared log before the results written before it'
mutant src/cli/help.cpp 'if (!option->get_type_name().empty())' 'if (true)' \
    'test_cli' '^Cli\.' \
    'cli: help names a value for a flag, and its columns slip'
mutant src/cli/collection_commands.cpp 'if (result.written && batch.many())' 'if (result.written)' \
    'test_cli' '^(Cli|Collections)\.' \
    'cli: the line of one file repaired says " fixed"'
mutant src/cli/batch.cpp 'if (many_ || json_)' 'if (many_)' \
    'test_cli' '^(Cli|Collections)\.' \
    'cli: one file that fails with --json prints no error object'
mutant src/cli/collection_commands.cpp 'return outcomeOf(report.checksumEqual(), fixed);' 'return {};' \
    'test_cli' '^(Cli|Collections)\.' \
    'cli: checksum --json exits 0 for a checksum that differs'
mutant src/core/rom/header_fields.h 'constexpr HeaderField Version{0x182, 11};' 'constexpr HeaderField Version{0x182, 12};' \
    'test_rom' '^(Checksum|InformationText)\.' \
    'header: the version takes the byte before the checksum'
mutant src/cli/json_report.cpp 'object["serial"] = header.serial;' 'object["serial_number"] = header.serial;' \
    'test_cli' '^(Cli|Collections)\.' \
    'cli: a JSON key is renamed'
mutant src/cli/json_report.cpp 'object["plain_hashes"] = hashesJson(report.plainHashes);' \
    'object["plain_hashes"] = hashesJson(report.hashes);' \
    'test_cli' '^(Cli|Collections)\.' \
    'cli: a dump'"'"'s JSON gives the file'"'"'s hashes as its plain image'"'"'s'
mutant src/cli/batch.cpp 'return unmatched_ > 0 ? kExitUnmatched : kExitOk;' 'return kExitOk;' \
    'test_cli' '^(Cli|Collections)\.' \
    'cli: identify exits 0 when an image is in no DAT'
mutant src/cli/collection_commands.cpp 'std::getline(list, path, platform::pathListSeparator())' \
    'std::getline(list, path, '"';'"')' \
    'test_cli' '^(Cli|Collections)\.' \
    'cli: VARNOQUIL_DAT is not split at its colons'
mutant src/core/identify/hashes.h 'bool crc32 = false, md5 = false, sha1 = false' 'bool crc32 = false, md5 = false, sha1 = true' \
    'test_cli' '^(Cli|Collections)\.' \
    'cli: hash --crc32 prints a SHA-1 too'
mutant src/cli/collection_commands.cpp 'return (name.size() > file.size() ? "\\" : "")' 'return std::string("")' \
    'test_cli' '^(Cli|Collections)\.' \
    'cli: a hash line of an escaped name lacks the backslash sha1sum -c looks for'

# --- window -------------------------------------------------------------
mutant src/core/ui/ui_logic.cpp 'else if (point.x >= window.width - frameThickness)' \
    'else if (point.x > window.width - frameThickness)' \
    'test_ui_logic varnoquil_window_tests' '^(Frame|FrameEdges)\.' \
    'window: the right frame edge starts a pixel late'
mutant src/core/ui/ui_logic.cpp 'if (point.y < frameThickness)' 'if (point.y <= frameThickness)' \
    'test_ui_logic varnoquil_window_tests' '^(Frame|FrameEdges)\.' \
    'window: the top frame edge is a pixel too deep'
mutant src/core/ui/ui_logic.cpp 'if (std::abs(area.left - position.x) <= layout::kSnapDistance)' \
    'if (std::abs(area.left - position.x) < layout::kSnapDistance)' \
    'test_ui_logic varnoquil_window_tests' '^(Frame|EdgeSnapping)\.' \
    'window: a window at the snap distance from the left is not snapped'
mutant src/core/ui/ui_logic.cpp "static_cast<unsigned char>(message.back()) > static_cast<unsigned char>('.')" \
    "static_cast<unsigned char>(message.back()) >= static_cast<unsigned char>('.')" \
    'test_ui_logic varnoquil_window_tests' '^(ErrorBox|ErrorBoxText)\.' \
    'window: an error text ending in a full stop gets another'
mutant src/app/form1_handlers.cpp 'FixButton->setEnabled(false);' 'FixButton->setEnabled(true);' \
    'varnoquil_window_tests' '^(About|SEList|FixPanel)\.' \
    'window: the About box leaves the GEMS Fix button usable'
mutant src/app/form1_handlers.cpp 'SEListButton->setEnabled(true);' 'SEListButton->setEnabled(false);' \
    'varnoquil_window_tests' '^(About|SEList|FixPanel)\.' \
    'window: closing the About box leaves the engine list button off'
mutant src/app/form1_info.cpp 'CheckSumButton->setEnabled(HeaderInfo.HeaderCrc != HeaderInfo.FileCrc && !runGoesOn);' \
    'CheckSumButton->setEnabled(!runGoesOn);' \
    'varnoquil_window_tests' '^(FileBrowser)\.' \
    'window: Checksum is offered for an image whose checksum is right'
mutant src/app/form1_info.cpp '        ForgetSelectedFile();
        throw;' '        throw;' \
    'varnoquil_window_tests' '^(FileBrowser)\.' \
    'window: FIX and Checksum stay on for an image whose header could not be read'
mutant src/app/form1_browser.cpp '    if (!browser::LeaveRemovedFolder())
        return;' '    return;' \
    'varnoquil_window_tests' '^FileBrowser\.' \
    'window: keys in a folder removed from outside each fail on their own'
mutant src/app/form1_start.cpp 'if (url.isLocalFile())' 'if (true)' \
    'varnoquil_window_tests' '^FileBrowser\.' \
    'window: a dropped web address is taken for a file'
mutant src/core/ui/start_place.cpp 'if (platform::attributesOf(path).directory)' 'if (true)' \
    'test_start_place' '^StartPlace\.' \
    'start place: a fifo or a looping link given at start opens the default folder'
mutant src/app/dialogs.cpp 'if (!reason.isEmpty())' 'if (false)' \
    'varnoquil_window_tests' '^FixPanel\.' \
    'window: the save dialog takes the input file as the output'
mutant src/app/dialogs.cpp 'while (QString::fromStdString(path).toStdString() != path)' 'while (false)' \
    'varnoquil_window_tests' '^FixPanel\.' \
    'window: a dialog opens in a folder whose name it cannot show'

mutant src/app/sound_engine_panel.cpp 'cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);' \
    'cell->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable);' \
    'varnoquil_window_tests' '^(SEList)\.' \
    'window: the sound engine list can be edited'
mutant src/app/gems_fix_panel.cpp '    EnableInputs(false);' '' \
    'varnoquil_window_tests' '^(FixPanel)\.' \
    'window: the inputs of a Fix GEMS run can be changed while it goes on'
mutant src/app/gems_fix_panel.cpp 'Qt::Key_Up ? 1 : -1' 'Qt::Key_Up ? 1 : -2' \
    'varnoquil_window_tests' '^(FixPanel)\.' \
    'window: the Down key in a scale box steps two thousandths'
mutant src/app/gems_fix_panel.cpp 'UpDown2->setEnabled(enabled && !PSGBox->isReadOnly());' \
    'UpDown2->setEnabled(enabled || !PSGBox->isReadOnly());' \
    'varnoquil_window_tests' '^(FixPanel)\.' \
    'window: the PSG arrows come back after a run with a preset that fixes the scale'
mutant src/app/look.cpp '        palette.setColor(QPalette::Inactive, role, colour);' '' \
    'varnoquil_window_tests' '^(Look)\.' \
    'window: the texts lose their colours while the window is not active'
mutant src/app/sound_engine_panel.cpp '    look::SetBackground(titleRow, look::kAzure);' '' \
    'varnoquil_window_tests' '^(Look)\.' \
    'window: the engine list'"'"'s title row is not azure'
mutant src/app/sound_engine_panel.cpp '    ValueListEditor1->verticalHeader()->hide();' '' \
    'varnoquil_window_tests' '^(Look)\.' \
    'window: the engine list shows row numbers'
mutant src/app/sound_engine_panel.cpp 'ValueListEditor1->setColumnWidth(0, layout::kGameColumnWidth);' 'ValueListEditor1->setColumnWidth(1, layout::kGameColumnWidth);' \
    'varnoquil_window_tests' '^(Look)\.' \
    'window: the engine list'"'"'s columns take each other'"'"'s widths'
mutant src/app/sound_engine_panel.cpp '    ValueListEditor1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);' '' \
    'varnoquil_window_tests' '^(Look)\.' \
    'window: the engine list'"'"'s scroll bar comes and goes'
mutant src/app/main.cpp '    parser.addHelpOption();' '' \
    'varnoquil' '^varnoquil\.(Help|Refuses|RunsOnTheNamed)' \
    'window program: --help is an unknown option'
mutant src/app/main.cpp 'if (given > 1) {' 'if (given > 2) {' \
    'varnoquil' '^varnoquil\.(Help|Refuses|RunsOnTheNamed)' \
    'window program: a second argument is taken without a word'
mutant src/app/main.cpp 'Set("WAYLAND_DISPLAY") || Set("QT_QPA_PLATFORM")' '(Set("WAYLAND_DISPLAY") && Set("QT_QPA_PLATFORM"))' \
    'varnoquil' '^varnoquil\.(Help|Refuses|RunsOnTheNamed)' \
    'window program: a platform named alone is not taken for a display'
mutant src/app/main.cpp '        return 1;
    }
    TApplication' '        return {};
    }
    TApplication' \
    'varnoquil' '^varnoquil\.StartsWithout' \
    'window program: the start without a display ends with status 0'
mutant src/app/form1.cpp '    FixBox->CancelRun();' '' \
    'varnoquil_window_tests' '^(FixPanel)\.' \
    'window: closing the window lets a Fix GEMS run write its output'
mutant src/app/gems_fix_panel.cpp 'worker_.reset(QThread::create([this, request] { Work(request); }));' \
    'worker_.reset(QThread::create([] {})); Work(request);' \
    'varnoquil_window_tests' '^(FixPanel)\.' \
    'window: Fix GEMS runs on the window'"'"'s thread'
mutant src/app/make.cpp '    Shortcut(cross, {QKeySequence(Qt::Key_Escape)}, QStringLiteral("Close"));' '' \
    'varnoquil_window_tests' '^(Keyboard)\.' \
    'window: Escape closes no box'
mutant src/app/make.cpp '    button->setFocusPolicy(Qt::TabFocus);' '' \
    'varnoquil_window_tests' '^(Keyboard)\.' \
    'window: Tab passes over the buttons of a box'
mutant src/app/form1_build.cpp 'QStringLiteral("Fix ROM checksum"), {QKeySequence(Qt::CTRL | Qt::Key_K)});' \
    'QStringLiteral("Fix ROM checksum"));' \
    'varnoquil_window_tests' '^(Keyboard)\.' \
    'window: Checksum has no key'
mutant src/app/controls.cpp '        click();' '        ;' \
    'varnoquil_window_tests' '^(Keyboard)\.' \
    'window: Enter does not click the focused button'
mutant src/app/form1_info.cpp 'HeaderInfo.HeaderCrc != HeaderInfo.FileCrc && !runGoesOn' \
    'HeaderInfo.HeaderCrc != HeaderInfo.FileCrc' \
    'varnoquil_window_tests' '^(FixPanel)\.' \
    'window: Checksum can write into an image while Fix GEMS runs'
mutant src/app/sound_engine_panel.cpp '    Label11->setToolTip(address);' '' \
    'varnoquil_window_tests' '^(SEList)\.' \
    'window: the engine list'"'"'s source line hides the rest of its address'
mutant src/app/form1_info.cpp '    ScrollBox1->verticalScrollBar()->setValue(0);' '' \
    'varnoquil_window_tests' '^(InformationPanel)\.' \
    'window: a header is shown from where the last one was scrolled to'
mutant src/app/form1_build.cpp '    ScrollBox1->setWidgetResizable(true);' '' \
    'varnoquil_window_tests' '^(InformationPanel)\.' \
    'window: a text taller than the information panel cannot be scrolled to its end'
mutant src/core/ui/layout.h 'kInformationScrollBarWidth = 4;' 'kInformationScrollBarWidth = 5;' \
    'varnoquil_window_tests' '^(InformationPanel)\.' \
    'window: the information panel'"'"'s scroll bar is wider than 4 pixels'
mutant src/app/form1_build.cpp '                DelButton->setEnabled(false);' '                DelButton->setEnabled(true);' \
    'varnoquil_window_tests' '^(FixPanel)\.' \
    'window: Delete stays on when a Fix GEMS run starts'
mutant src/app/form1_build.cpp 'FixButton->setEnabled(!running && !SelectedFile.empty());' \
    'FixButton->setEnabled(!running && SelectedFile.empty());' \
    'varnoquil_window_tests' '^(FixPanel)\.' \
    'window: FIX stays off after a Fix GEMS run'
mutant src/app/file_list.cpp 'painter.fillRect(QRect(dot, QSize(1, 1)), Qt::white);' \
    'painter.fillRect(QRect(dot - QPoint(0, 1), QSize(1, 1)), Qt::white);' \
    'varnoquil_window_tests' '^(FileListDrawing|varnoquil_window\.FileListDrawingAtScale2)' \
    'window: the focus mark is drawn a pixel too high, half outside its row'
mutant src/app/gems_fix_scales.cpp '    box->setValidator(new TypedScaleText(box));' '' \
    'varnoquil_window_tests' '^(FixPanel)\.' \
    'window: a scale box takes any pasted or dropped text'
mutant src/app/gems_fix_scales.cpp 'return digit || (key == separator && !text.contains(separator));' \
    'return digit || key == separator;' \
    'varnoquil_window_tests' '^(FixPanel)\.' \
    'window: a scale box takes a second separator'

mutant src/app/about_panel.cpp '    label->setFont(look::SmallFonts(layout::kAboutFontHeight));' '' \
    'varnoquil_window_tests' '^(Look)\.' \
    'window: the About text is drawn in the default font'
mutant src/app/about_panel.cpp '    Label25->setText(text);' '' \
    'varnoquil_window_tests' '^(Look)\.' \
    'window: the About box shows its shadow alone'
mutant src/app/application.cpp '    box.exec();' '' \
    'varnoquil_window_tests' '^(ErrorBox)\.' \
    'window: the standard error box is never shown'
mutant src/app/application.cpp 'bool handled = true;' 'bool handled = false;' \
    'varnoquil_window_tests' '^(ErrorBox)\.' \
    'window: an event whose handler failed counts as unhandled'
mutant src/app/controls.cpp 'if (option.state & QStyle::State_HasFocus)' 'if (!(option.state & QStyle::State_HasFocus))' \
    'varnoquil_window_tests' '^(Keyboard)\.' \
    'window: a focused flat button is drawn flat and the others raised'
mutant src/app/controls.cpp 'event->key() == Qt::Key_Enter' 'event->key() != Qt::Key_Enter' \
    'varnoquil_window_tests' '^(Keyboard)\.' \
    'window: keypad Enter does not click a focused button, and other keys do'
mutant src/app/controls.cpp 'frame.rect = rect().adjusted(0, metrics.height() / 2, 0, 0);' \
    'frame.rect = rect().adjusted(0, metrics.height() / 2, 0, 1);' \
    'varnoquil_window_tests' '^(Look)\.' \
    'window: a box'"'"'s frame is open along its bottom edge'
mutant src/app/controls.cpp 'up_->setGeometry(0, 0, width(), half);' 'up_->setGeometry(1, 0, width(), half);' \
    'varnoquil_window_tests' '^(Look)\.' \
    'window: the up arrow stands a pixel to the right of the down arrow'
mutant src/app/controls.cpp '    bar_->setValue(0);' '    bar_->setValue(1);' \
    'varnoquil_window_tests' '^(LongProgress)\.' \
    'window: the progress bar starts a run one step along'
mutant src/app/dialogs.cpp 'refuse_ && !chosen.isEmpty()' 'refuse_ || !chosen.isEmpty()' \
    'varnoquil_window_tests' '^(FixPanel)\.' \
    'window: a dialog that refuses nothing fails on any file chosen'
mutant src/app/dialogs.cpp '        dialog->setFileMode(QFileDialog::ExistingFile);' '' \
    'varnoquil_window_tests' '^(FixPanel)\.' \
    'window: the open dialog takes a file that does not exist'
mutant src/app/dialogs.cpp '        dialog->selectFile(setup.fileName);' '' \
    'varnoquil_window_tests' '^(FixPanel)\.' \
    'window: a dialog does not offer the name it is given'
mutant src/app/form1.cpp '    if (horizontal)' '    if (!horizontal)' \
    'varnoquil_window_tests' '^(Frame)\.' \
    'window: the left and right edges show the wrong sizing cursor'
mutant src/app/form1.cpp 'painter.drawRect(rect().adjusted(0, 0, -1, -1));' 'painter.drawRect(rect().adjusted(0, 0, -1, -2));' \
    'varnoquil_window_tests' '^(Frame)\.' \
    'window: the frame line misses the bottom edge'
mutant src/app/file_list.cpp 'y > rect.top() && rect.right()' 'y >= rect.top() && rect.right()' \
    'varnoquil_window_tests' '^(FocusMark)\.' \
    'window: the focus mark walks its first pixel twice and inverts it back'
mutant src/app/file_list.cpp 'i < edge.size(); i += 2)' 'i < edge.size(); i += 3)' \
    'varnoquil_window_tests' '^(FocusMark)\.' \
    'window: the focus mark dots every third pixel'
mutant src/app/file_list.cpp 'painter.fillRect(QRect(dot, QSize(1, 1)), Qt::white);' \
    'painter.fillRect(QRect(dot, QSize(2, 1)), Qt::white);' \
    'varnoquil_window_tests' '^(FocusMark)\.' \
    'window: the focus mark'"'"'s dots are two pixels wide'
mutant src/app/form1_build.cpp 'ListBox1DrawItem(canvas, index, rect, static_cast<int>(state));' '' \
    'varnoquil_window_tests' '^(FileListDrawing)\.' \
    'window: the file list'"'"'s rows are drawn empty'
mutant src/app/form1_info.cpp '    if (browser::IsRomImage(path))' '    if (!browser::IsRomImage(path))' \
    'varnoquil_window_tests' '^(FileListDrawing)\.' \
    'window: ROM images are not written in azure in the file list'
mutant src/app/form1_info.cpp 'else if (!folderKnown ||' 'else if (folderKnown ||' \
    'varnoquil_window_tests' '^(FileListDrawing)\.' \
    'window: every entry that is not a ROM image is written as a folder'
mutant src/app/form1_handlers.cpp 'Label4->width() - layout::kPathRoomForDiskBox' 'Label4->width() + layout::kPathRoomForDiskBox' \
    'varnoquil_window_tests' '^(StartUp)\.' \
    'window: a long path runs under the drive box'

# -------------------------------------------------------------------------
scratch=$(mktemp -d "${TMPDIR:-/tmp}/varnoquil-mutants.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
tree=$scratch/tree build=$scratch/build
mkdir "$tree"
git ls-files -z --cached --others --exclude-standard | xargs -0 cp --parents -t "$tree"

# Replaces the one place of original with replacement among the files of a
# glob, keeping the file as it was in $scratch/original; fails with a message when it is not there exactly once.
apply_mutation()
{
    python3 - "$tree" "$scratch/original" "$@" <<'EOF'
import glob, os, shutil, sys
root, backup, pattern, original, replacement = sys.argv[1:6]
paths = sorted(glob.glob(os.path.join(root, pattern)))
hits = [(p, open(p, encoding="utf-8").read()) for p in paths]
hits = [(p, text) for p, text in hits if original in text]
count = sum(text.count(original) for _, text in hits)
if count != 1:
    sys.exit(f"{pattern}: the original text stands {count} times: {original}")
path, text = hits[0]
shutil.copy2(path, backup)
open(path, "w", encoding="utf-8").write(text.replace(original, replacement))
print(os.path.relpath(path, root))
EOF
}

start=$SECONDS
all_targets=$(printf '%s\n' "${targets[@]}" | tr ' ' '\n' | sort -u | tr '\n' ' ')
cmake -S "$tree" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVARNOQUIL_SANITIZE=OFF -DVARNOQUIL_WINDOW=ON \
    -DVARNOQUIL_TESTS=ON -DVARNOQUIL_BENCH=OFF >/dev/null
echo "building the tests without mutants: $all_targets"
# shellcheck disable=SC2086
cmake --build "$build" -j"$(nproc)" --target $all_targets >"$scratch/build.log" 2>&1 \
    || { cat "$scratch/build.log"; echo "the unmutated tree does not build" >&2; exit 1; }
every_test=$(printf '%s|' "${tests[@]}")
(cd "$build" && QT_QPA_PLATFORM=offscreen ctest -R "${every_test%|}" -j"$(nproc)" >"$scratch/ctest.log" 2>&1) \
    || { cat "$scratch/ctest.log"; echo "the tests fail without mutants" >&2; exit 1; }

killed=0 survived=0 stale=0 tried=0
for i in "${!files[@]}"; do
    description=${descriptions[$i]}
    [[ -z $only || $description =~ $only ]] || continue
    tried=$((tried + 1))
    if ! path=$(apply_mutation "${files[$i]}" "${originals[$i]}" "${replacements[$i]}" 2>&1); then
        printf 'STALE     %s\n          %s\n' "$description" "$path"
        stale=$((stale + 1))
        continue
    fi
    result=SURVIVED
    # shellcheck disable=SC2086
    if ! cmake --build "$build" -j"$(nproc)" --target ${targets[$i]} >"$scratch/build.log" 2>&1; then
        result="KILLED (does not build)"
    elif ! (cd "$build" && QT_QPA_PLATFORM=offscreen ctest -R "${tests[$i]}" -j"$(nproc)" --timeout 300 \
            >"$scratch/ctest.log" 2>&1); then
        result=KILLED
    elif grep -q 'No tests were found' "$scratch/ctest.log"; then
        result="SURVIVED (no test matches ${tests[$i]})"
    fi
    cp "$scratch/original" "$tree/$path"
    [[ $result == KILLED* ]] && killed=$((killed + 1)) || survived=$((survived + 1))
    printf '%-9s %s: %s\n' "${result%% *}" "$path" "$description"
    [[ $result == *"("* ]] && printf '          %s\n' "${result#* }"
done

echo "$tried mutants: $killed killed, $survived survived, $stale stale ($((SECONDS - start)) s)"
[[ $survived -eq 0 && $stale -eq 0 ]]
