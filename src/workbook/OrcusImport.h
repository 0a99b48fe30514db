// Reads .xlsx and .ods files with orcus into ImportedBook data.
#pragma once

#include <cstdint>
#include <string>

#include "workbook/ImportedBook.h"

namespace ploxen {

/// Limits that protect the engine from files it cannot hold.
struct ImportLimits {
  std::size_t maxFileBytes = 200u * 1024u * 1024u;        ///< compressed size of the file
  std::size_t maxCells = 2'000'000;                       ///< cells over all sheets
  std::uint64_t maxPartBytes = 32u * 1024u * 1024u;       ///< unpacked size of one part
  std::uint64_t maxUnpackedBytes = 128u * 1024u * 1024u;  ///< unpacked size of all parts
};

/// Reads the workbook file at `path` (format from its content, not its name).
/// Returns false with a reason in `error` for a missing, unreadable, damaged or
/// oversized file or one that holds no workbook. Never throws.
bool ReadWorkbookFile(const std::string& path, ImportedBook& book, std::string& error,
                      const ImportLimits& limits = {});

/// Same for a file already in memory.
bool ReadWorkbookBytes(std::string_view bytes, ImportedBook& book, std::string& error,
                       const ImportLimits& limits = {});

}  // namespace ploxen
