// Section store: line splitting, section selection, key lookup and the backed-up save.
#include "support/SectionStore.h"

#include <filesystem>

#include "support/FileIO.h"
#include "support/TextCodec.h"

namespace ploxen {
namespace {

constexpr int kMsgFileAccess = 241;

/// True when the trimmed `line` begins with "[" + name + "]".
bool IsHeaderOf(const std::string& line, const std::string& name) {
  std::string trimmed = TrimText(line);
  std::string header = "[" + name + "]";
  return trimmed.compare(0, header.size(), header) == 0;
}

}  // namespace

std::vector<std::string> SectionStore::SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == '\r' || text[i] == '\n') {
      if (i > start) lines.emplace_back(text.substr(start, i - start));
      start = i + 1;
    }
  }
  return lines;
}

bool SectionStore::IsHeader(std::string_view line) {
  std::string trimmed = TrimText(line);
  return trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']';
}

int SectionStore::Load(const std::string& rawPath) {
  std::string path = NormaliseSeparators(rawPath);
  std::string bytes;
  std::int64_t stamp = FileStamp(path);
  if (fileTime_ != 0 && path == fileName_ && stamp == fileTime_) {
    std::error_code ec;
    if (std::filesystem::file_size(path, ec) == fileSize_ && !ec) return 1;  // cached lines stay
  }
  int read = ReadFileBytes(path, bytes);
  if (read == 0) {
    fileTime_ = 0;
    return 0;
  }
  if (read < 0) {
    fileTime_ = 0;
    log_.Post(kMsgError, kMsgFileAccess, rawPath + " can not be open !");
    return -1;
  }
  lines_ = SplitLines(DecodeFileText(bytes));
  sectionLines_.clear();
  sectionName_.clear();
  fileName_ = path;
  fileTime_ = stamp;
  fileSize_ = bytes.size();
  return 1;
}

int SectionStore::SelectSection(const std::string& name) {
  if (!name.empty() && name == sectionName_) return 1;
  sectionName_ = name;
  sectionLines_.clear();
  if (name == "*") {
    sectionLines_ = lines_;
  } else if (name.empty()) {
    for (const auto& line : lines_) {
      if (IsHeader(line)) break;
      sectionLines_.push_back(line);
    }
  } else {
    int first = -1;
    int last = -1;
    FindSection(name, first, last);
    if (first < 0) {
      sectionLines_.push_back("[" + name + "]");  // a following WriteSection creates it
      return 0;
    }
    sectionLines_.assign(lines_.begin() + first, lines_.begin() + last);
  }
  return static_cast<int>(sectionLines_.size());
}

std::string SectionStore::GetValue(const std::string& key) const {
  const std::string prefix = key + "=";
  for (const auto& line : sectionLines_) {
    std::string trimmed = TrimText(line);
    if (trimmed.compare(0, prefix.size(), prefix) == 0) {
      return TrimText(std::string_view(trimmed).substr(prefix.size()));
    }
  }
  return {};
}

void SectionStore::FindSection(const std::string& name, int& first, int& last) const {
  const int count = static_cast<int>(lines_.size());
  first = -1;
  last = count;
  if (name.empty()) {  // the unnamed section: everything before the first header
    first = 0;
    for (int i = 0; i < count; ++i) {
      if (IsHeader(lines_[i])) {
        last = i;
        break;
      }
    }
    return;
  }
  for (int i = 0; i < count; ++i) {
    if (first < 0) {
      if (IsHeaderOf(lines_[i], name)) first = i;
    } else if (IsHeader(lines_[i])) {
      last = i;
      return;
    }
  }
}

void SectionStore::WriteSection(const std::string& name) {
  std::vector<std::string> block;
  block.reserve(sectionLines_.size());
  for (size_t i = 0; i < sectionLines_.size(); ++i) {
    const std::string& line = sectionLines_[i];
    bool keep = name.empty() || i == 0 || line.compare(0, 2, "  ") == 0;
    block.push_back(keep ? line : "  " + line);
  }
  int first = -1;
  int last = -1;
  if (name != "*") FindSection(name, first, last);
  if (name == "*") {
    first = 0;
    last = static_cast<int>(lines_.size());
  }
  if (first < 0) {
    lines_.insert(lines_.end(), block.begin(), block.end());
    return;
  }
  lines_.erase(lines_.begin() + first, lines_.begin() + last);
  lines_.insert(lines_.begin() + first, block.begin(), block.end());
}

int SectionStore::Save(const std::string& rawPath) {
  std::string path = NormaliseSeparators(rawPath);
  std::string text;
  size_t size = 0;
  for (const auto& line : lines_) size += line.size() + 1;
  text.reserve(size);
  for (const auto& line : lines_) {
    text += line;
    text += '\n';
  }
  if (!WriteFileAtomic(path, text, !noBackup_)) {
    log_.Post(kMsgError, kMsgFileAccess, rawPath + " can not be saved !");
    return -1;
  }
  return 1;
}

void SectionStore::Backup(const std::string& rawPath) {
  if (noBackup_) return;
  CopyToBackup(NormaliseSeparators(rawPath));
}

void SectionStore::Reset() {
  lines_.clear();
  sectionLines_.clear();
  fileName_ = "~";
  sectionName_ = "~";
  fileTime_ = 0;
  fileSize_ = 0;
}

}  // namespace ploxen
