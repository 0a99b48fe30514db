// Whole-file reading and crash-safe whole-file writing with a backup copy of the old file.
#pragma once

#include <cstdint>
#include <string>

namespace ploxen {

/// Reads the whole file into `bytes`: 1 read, 0 no such file, -1 exists but cannot be read.
int ReadFileBytes(const std::string& path, std::string& bytes);
/// Modification stamp of a file in nanoseconds since the epoch, 0 when it has none.
std::int64_t FileStamp(const std::string& path);
/// Backup name of `path`: "~" inserted after the dot of the extension, ".~" for a shorter one.
std::string BackupPath(const std::string& path);
/// Copies `path` to its backup name, overwriting an older backup; false on failure.
bool CopyToBackup(const std::string& path);
/// Writes `bytes` to a temporary file in the folder of `path`, flushes it to disk, copies an
/// existing `path` to its backup (when `backup` is set) and renames the temporary file into
/// place. On failure the temporary file is removed, `path` is untouched and false returned.
bool WriteFileAtomic(const std::string& path, const std::string& bytes, bool backup,
                     unsigned newFileMode = 0644);

}  // namespace ploxen
