// Choosing the spreadsheet server by its automation class name.
#include "workbook/ServerSelector.h"

#include "support/AplMsg.h"
#ifdef PLOXEN_WITH_UNO
#include "workbook/UnoServer.h"
#endif

namespace ploxen {

/// Posted once when LibreOffice is chosen but this build cannot drive it.
constexpr int kMsgNoLibreOffice = 2105;

ServerSelector::ServerSelector(TAplMsgWnd& log) : log_(log), embedded_(log) {
#ifdef PLOXEN_WITH_UNO
  libreOffice_ = std::make_unique<UnoServerFactory>(log);
#endif
}

ServerSelector::~ServerSelector() = default;

bool ServerSelector::HasLibreOffice() {
#ifdef PLOXEN_WITH_UNO
  return true;
#else
  return false;
#endif
}

UnoServerFactory* ServerSelector::LibreOffice() {
#ifdef PLOXEN_WITH_UNO
  return dynamic_cast<UnoServerFactory*>(libreOffice_.get());
#else
  return nullptr;
#endif
}

SpreadsheetServerFactory* ServerSelector::For(const std::string& progId) {
  if (IsEmbeddedProgId(progId)) return &embedded_;
  if (!IsLibreOfficeProgId(progId)) return nullptr;
  if (!libreOffice_ && !told_) {
    told_ = true;
    log_.Post(kMsgCritical, kMsgNoLibreOffice,
              "This build of the program cannot drive LibreOffice (" + progId + ")");
  }
  return libreOffice_.get();
}

std::shared_ptr<SpreadsheetServer> ServerSelector::Attach(const std::string& progId) {
  SpreadsheetServerFactory* factory = For(progId);
  return factory ? factory->Attach(progId) : nullptr;
}

std::shared_ptr<SpreadsheetServer> ServerSelector::Start(const std::string& progId) {
  SpreadsheetServerFactory* factory = For(progId);
  return factory ? factory->Start(progId) : nullptr;
}

}  // namespace ploxen
