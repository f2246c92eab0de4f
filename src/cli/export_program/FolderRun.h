// SPDX-License-Identifier: GPL-2.0-or-later
// leafbind-export --folders: every folder under the arguments that directly holds pictures becomes
// one PDF under the output folder, named by its path relative to its argument's parent, its
// pictures in natural order. Documents run on worker threads; a PDF that exists is skipped, so a
// run that was stopped resumes; --shard picks a fixed share of the folders by a hash of their
// relative paths, so machines that each run one shard cover every folder once.
#pragma once

#include <cstdint>
#include <string_view>

namespace cli {

// The shard of a folder's relative path ("scans/1987/box-3", as its PDF is named below the output
// folder, without ".pdf"): FNV-1a, 64 bits, over its bytes, modulo the shard count. Fixed for
// good: machines running different versions must still agree.
uint64_t ShardOfPath(std::string_view relativePath, uint64_t shardCount);

}  // namespace cli
