// SPDX-License-Identifier: MIT
#pragma once

#include "identify/hashes.h"

#include <string>
#include <vector>

// The commands that read many images: info, checksum, scan, hash and
// identify.
namespace varnoquil::cli {

struct CollectionOptions {
    std::vector<std::string> paths;
    bool recursive = false;
    bool json = false;
    bool longView = false; // info: the decoded header as "key: value" lines
    std::vector<std::string> dats; // checksum and identify: the DAT files given
};

struct ChecksumOptions {
    bool fix = false;
    bool force = false; // repair files that are not plain cartridge images too
};

// Each returns the exit status.
int RunInfo(const CollectionOptions& options);
int RunChecksum(const CollectionOptions& options, const ChecksumOptions& checksum);
int RunScan(const CollectionOptions& options);
int RunHash(const CollectionOptions& options, HashKinds hashes);
int RunIdentify(const CollectionOptions& options);

} // namespace varnoquil::cli
