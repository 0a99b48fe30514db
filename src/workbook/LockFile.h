// Lock files of LibreOffice's format beside a workbook (".~lock.NAME#"): whether another
// program holds the book open, and the lock this program keeps while it holds unsaved results.
#pragma once

#include <string>

namespace ploxen {

/// The fields of a lock file: "author,user,host,time,profile;".
struct LockInfo {
  std::string author;   ///< the name the holder's profile gives its user (may be empty)
  std::string user;     ///< login name of the holder
  std::string host;     ///< host the holder runs on
  std::string time;     ///< "dd.mm.yyyy hh:mm" when the lock was taken
  std::string profile;  ///< the holder's profile (a file URL for LibreOffice)
};

/// What a lock file beside a book says.
enum class LockState {
  kNone,   ///< no lock file (or an unreadable one)
  kStale,  ///< left behind: another host, or no process of its holder runs any more
  kLive,   ///< the book is open in a running program on this host
  kOwn,    ///< the lock of this very process
};

/// ".~lock.Book.xlsx#" beside `bookPath`.
std::string LockFilePath(const std::string& bookPath);

/// Reads and judges the lock beside `bookPath`. It is live when it names this host and a
/// LibreOffice process (soffice.bin) of the user it names runs, or when it was written by a
/// process of this program that still runs.
LockState CheckLock(const std::string& bookPath, LockInfo* info = nullptr);

/// Writes this process's lock beside `bookPath`, so that LibreOffice offers the book
/// read-only and batch runs refuse to overwrite it. False with a reason when another live
/// lock is there or the file cannot be written.
bool CreateOwnLock(const std::string& bookPath, std::string& error);

/// Removes the lock beside `bookPath` when it is this process's own; true when none of ours
/// is left.
bool RemoveOwnLock(const std::string& bookPath);

/// "user on host since time" for messages.
std::string LockHolderText(const LockInfo& info);

}  // namespace ploxen
