// The database's reference file (references, user elements, gas constant), reference texts of
// a dataset and the normal-volume conversion of the "Behaviour of System" window.
#include <cctype>
#include <filesystem>

#include "chem/Periodica.h"
#include "support/AplMsg.h"
#include "support/AplStgs.h"
#include "thermo/StateFunctions.h"
#include "thermo/TDynOprt.h"

namespace ploxen {

namespace {

constexpr double kNormalPressureBar = 1.01325;
constexpr double kNormalTemperatureK = 273.15;
constexpr double kLowestGasConstant = 8.314;   // J/(mol K), refused and below
constexpr double kHighestGasConstant = 8.315;  // J/(mol K), refused and above

std::string WithExtension(const std::string& path, const char* extension) {
  return std::filesystem::path(path).replace_extension(extension).string();
}

bool SameFileName(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i]))) {
      return false;
    }
  }
  return true;
}

}  // namespace

// The reference file lies beside the database in use and follows it when another database
// is opened, so that the keys of field 19 always meet the references of their own database.
void TTDynOprtWnd::ReadReferenceFile() {
  referencePath_ = WithExtension(databasePath_, ".ref");
  elements_.SetReferenceFileName(std::filesystem::path(referencePath_).filename().string());
  referenceList_.assign(1, kFirstReference);
  // Without a reference file the store keeps the file it held before (normally the
  // application settings), and the Elements and Constants sections are looked up there.
  if (settings_.Load(referencePath_) == 1) ReadReferenceSection();
  ReadElementsSection();
  ReadConstantsSection();
}

void TTDynOprtWnd::ReadReferenceSection() {
  if (settings_.SelectSection("Reference") < 1) return;
  const std::vector<std::string>& lines = settings_.Store().SectionLines();
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos) continue;
    const std::string key = Trim(std::string_view(line).substr(0, colon));
    const std::string rest = line.substr(colon + 1);
    const std::size_t semicolon = rest.find(';');
    const std::string value = semicolon == std::string::npos ? Trim(rest) : rest.substr(0, semicolon);
    referenceList_.push_back("[" + key + "]:" + value);
  }
}

void TTDynOprtWnd::ReadElementsSection() {
  settings_.SelectSection("Elements");
  const std::vector<std::string> lines = settings_.Store().SectionLines();
  for (std::size_t i = 1; i < lines.size(); ++i) {
    const int r = elements_.ParseElementLine(lines[i]);
    const std::string& message = elements_.ElementMessage();
    if (r < 0) {
      log_.Post(kMsgError, 214, message);
    } else if (!message.empty()) {
      log_.Post(kMsgImportant, 211, message);
    }
  }
}

void TTDynOprtWnd::ReadConstantsSection() {
  settings_.SelectSection("Constants");
  const std::string text = settings_.GetValue("R");
  const double r = TextToFloat(text);
  if (r <= kLowestGasConstant || r >= kHighestGasConstant) {
    log_.Post(kMsgError, 128, "R=" + text + " my be incorrect");
    return;
  }
  db_.SetGasConstant(r);
  log_.Post(kMsgImportant, 126, "user defined  R=" + text);
}

void TTDynOprtWnd::OnSettingsFileSaved(const std::string& path) {
  if (!referencePath_.empty() && SameFileName(path, referencePath_)) ReadReferenceFile();
}

std::string TTDynOprtWnd::ReferencesOf(int record) {
  if (referenceList_.empty()) ReadReferenceFile();
  if (record < 0 || record >= db_.RecordCount()) return {};
  const std::string_view refs = db_.Field(record, kFieldReferences);
  std::string result;
  for (std::size_t open = refs.find('['); open != std::string_view::npos;
       open = refs.find('[', open + 1)) {
    const std::size_t close = refs.find(']', open);
    if (close == std::string_view::npos) break;
    const std::string_view key = refs.substr(open, close - open + 1);
    for (const std::string& entry : referenceList_) {
      if (entry.compare(0, key.size(), key) == 0) {
        result += entry + "; ";
        break;
      }
    }
  }
  return result;
}

double TTDynOprtWnd::NormalVolumeMoles(std::string_view amount, int record) {
  StateFunctionRecord state;
  StateFunctions(db_, record, model_, kNormalPressureBar, kNormalTemperatureK, state);
  if (!(state.z > 0.0)) return 0.0;
  const AmountResult moles = AmountToMoles(amount, db_.Tds().molDefinition,
                                           kNormalPressureBar / state.z, kNormalTemperatureK,
                                           elements_, db_.GasConstant());
  return moles.ok ? moles.moles : 0.0;
}

}  // namespace ploxen
