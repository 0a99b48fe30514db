// Section store: reads a settings file of "[section]" headers and "key=value" lines, selects a
// section, looks keys up, replaces a section and writes the file back with a backup.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "support/AplMsg.h"

namespace ploxen {

/// Lines of one settings file and the lines of its selected section.
class SectionStore {
 public:
  explicit SectionStore(TAplMsgWnd& log) : log_(log) {}

  /// 1 loaded or cached, 0 no such file (cache cleared), -1 unreadable (message 241).
  int Load(const std::string& path);
  /// Collects section `name` ("*" all lines, "" the lines before the first header);
  /// returns the number of lines, 1 at once when `name` is already selected.
  int SelectSection(const std::string& name);
  /// Value of the first "key=" line of the selected section; empty when absent.
  std::string GetValue(const std::string& key) const;
  /// Puts the selected lines in place of section `name` (appended when missing).
  void WriteSection(const std::string& name);
  /// Writes all lines to `path` (atomically, old file kept as backup): 1, or -1 with message 241.
  int Save(const std::string& path);
  /// Copies `path` to its backup name unless the no-backup flag is set.
  void Backup(const std::string& path);
  /// Forgets the file: no lines, names "~", nothing cached.
  void Reset();

  /// Splits file text into lines at every CR and LF; empty lines are dropped.
  static std::vector<std::string> SplitLines(std::string_view text);
  /// True when the trimmed line begins with "[" and ends with "]".
  static bool IsHeader(std::string_view line);

  std::vector<std::string>& Lines() { return lines_; }
  const std::vector<std::string>& Lines() const { return lines_; }
  std::vector<std::string>& SectionLines() { return sectionLines_; }
  const std::vector<std::string>& SectionLines() const { return sectionLines_; }
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& name) { fileName_ = name; }
  std::int64_t FileTime() const { return fileTime_; }
  const std::string& SectionName() const { return sectionName_; }
  bool NoBackup() const { return noBackup_; }
  void SetNoBackup(bool on) { noBackup_ = on; }

 private:
  /// Index range [first, last) of section `name` in the lines; first = -1 when missing.
  void FindSection(const std::string& name, int& first, int& last) const;

  TAplMsgWnd& log_;
  std::vector<std::string> lines_;         ///< all lines of the file, in order
  std::vector<std::string> sectionLines_;  ///< the selected section, header first
  std::string fileName_ = "~";
  std::int64_t fileTime_ = 0;  ///< modification stamp [ns]; 0 = nothing cached
  std::uint64_t fileSize_ = 0;
  std::string sectionName_ = "~";
  bool noBackup_ = false;
};

}  // namespace ploxen
