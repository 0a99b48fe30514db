// History of recent calculations: the "Calculate again" menu state and its place in the
// user settings file, with paths stored relative to the program folder.
#include "support/AplStgs.h"

#include <algorithm>

#include "support/TextCodec.h"

namespace ploxen {
namespace {

const std::string kHistory = "History";

/// True for "/..." and for Windows drive paths such as "C:\..." or "C:/...".
bool IsAbsolute(const std::string& path) {
  if (!path.empty() && (path[0] == '/' || path[0] == '\\')) return true;
  return path.size() >= 3 && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
}

/// The "/"-separated components of a folder ("/opt/p" -> "opt", "p").
std::vector<std::string> Components(const std::string& folder) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (start <= folder.size()) {
    size_t end = folder.find('/', start);
    if (end == std::string::npos) end = folder.size();
    if (end > start) parts.push_back(folder.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

}  // namespace

std::string TAplStgsWnd::ExpandEntry(const std::string& entry) const {
  // A parameter string that starts with an option ("-x:...") or an absolute path stays as is.
  if (entry.empty() || entry[0] == '-' || IsAbsolute(entry)) return entry;
  std::vector<std::string> base = Components(programFolder_);
  std::string rest = entry;
  while (rest.compare(0, 3, "../") == 0 && !base.empty()) {
    base.pop_back();
    rest.erase(0, 3);
  }
  while (rest.compare(0, 2, "./") == 0) rest.erase(0, 2);
  std::string out;
  for (const auto& part : base) out += "/" + part;
  return out + "/" + rest;
}

std::string TAplStgsWnd::RelativeEntry(const std::string& entry) const {
  if (entry.empty() || entry[0] != '/') return entry;  // not on the program folder's tree
  std::vector<std::string> base = Components(programFolder_);
  size_t pos = 1;  // after the leading "/"
  size_t matched = 0;
  while (matched < base.size()) {
    const std::string& part = base[matched];
    if (entry.compare(pos, part.size(), part) != 0 || pos + part.size() >= entry.size() ||
        entry[pos + part.size()] != '/') {
      break;
    }
    pos += part.size() + 1;
    ++matched;
  }
  std::string out;  // one "../" per program folder level not shared, as on one drive
  for (size_t i = matched; i < base.size(); ++i) out += "../";
  return out + entry.substr(pos);
}

void TAplStgsWnd::AddRecent(const std::string& entry) {
  if (entry.empty()) {
    recent_.clear();
    store_.SelectSection(kHistory);
    const auto& lines = store_.SectionLines();
    for (size_t i = 0; i < lines.size(); ++i) {
      if (i == 0 && SectionStore::IsHeader(lines[i])) continue;
      std::string item = TrimText(lines[i]);
      if (!item.empty()) recent_.push_back(ExpandEntry(item));
    }
  } else if (entry != "*") {
    recent_.erase(std::remove(recent_.begin(), recent_.end(), entry), recent_.end());
    recent_.insert(recent_.begin(), entry);
  }
  RefreshRecentMenu();
}

void TAplStgsWnd::RemoveRecent(int index) {
  if (index >= 0 && index < static_cast<int>(recent_.size())) {
    recent_.erase(recent_.begin() + index);
  }
  RefreshRecentMenu();
}

void TAplStgsWnd::RefreshRecentMenu() {
  menu_.visible = !recent_.empty();
  for (int k = 0; k < RecentMenu::kItems; ++k) {
    bool shown = k < static_cast<int>(recent_.size());
    menu_.itemVisible[k] = shown;
    menu_.caption[k] = shown ? recent_[k] : std::string();
  }
  if (onRecentChanged) onRecentChanged();
}

void TAplStgsWnd::LoadHistory() {
  if (store_.Load(UserSettingsPath()) == 1) {
    AddRecent("");
  } else {
    recent_.clear();  // no user settings yet: the lines of another file must not count
  }
  if (recent_.empty()) {
    AddRecent("*");
  } else {
    AddRecent(std::string(recent_.front()));
  }
}

int TAplStgsWnd::SaveHistory() {
  std::string path = UserSettingsPath();
  store_.Reset();
  if (store_.Load(path) < 0) return -1;  // unreadable: never overwrite its other sections
  store_.SelectSection(kHistory);
  auto& lines = store_.SectionLines();
  lines.assign(1, "[" + kHistory + "]");
  size_t count = std::min<size_t>(recent_.size(), kHistoryWritten);
  for (size_t i = 0; i < count; ++i) {
    std::string item = recent_[i];
    size_t amp = item.find('&');
    if (amp != std::string::npos) item.erase(amp, 1);
    lines.push_back(RelativeEntry(item));
  }
  store_.WriteSection(kHistory);
  return store_.Save(path);
}

}  // namespace ploxen
