// Saving a workbook of the engine to .xlsx or .ods, atomically.
#pragma once

#include <string>

#include "workbook/EngineModel.h"

namespace ploxen {

/// Message number of the warning that a save drops parts of the file the engine cannot write.
inline constexpr int kMsgLostParts = 345;

/// Recalculates and writes `book` to `path` in `format`: a temporary file in the same folder,
/// the old file kept as its backup, then a rename. A book read from a file of that format is
/// saved into that file's package, rewriting only what changed; others are written anew. On failure `path` is untouched, the reason
/// is in `error` and false is returned. Never throws.
bool WriteBookFile(WorkbookEngine& engine, Book& book, const std::string& path, BookFormat format,
                   std::string& error);

/// The file a save of `path` writes: the target of a symbolic link, followed to the end. False
/// with a reason naming the file when this user may not write it, or when it has no write
/// permission at all (which would not stop root).
bool SaveTarget(const std::string& path, std::string& target, std::string& error);

/// True when a save of `book` in `format` goes into the package of the file it came from,
/// keeping every part of it; false when a writer builds the file anew.
bool KeepsPackage(const Book& book, BookFormat format);

/// Writes an .xlsx file at `path` directly (no temporary file); used by WriteBookFile.
bool WriteXlsx(WorkbookEngine& engine, Book& book, const std::string& path, std::string& error);

/// The bytes of an .ods file of `book`; used by WriteBookFile.
bool BuildOds(WorkbookEngine& engine, Book& book, std::string& bytes, std::string& error);

}  // namespace ploxen
