// The spreadsheet servers of the program, chosen by the automation class name (`ProgId`).
#pragma once

#include <memory>

#include "workbook/EmbeddedServer.h"

namespace ploxen {

class UnoServerFactory;

/// Hands each `ProgId` to the server that answers to it: the embedded engine for
/// "Excel.Application" (or empty), LibreOffice for "LibreOffice" and
/// "com.sun.star.ServiceManager" when this build has the UNO server; nothing otherwise.
class ServerSelector : public SpreadsheetServerFactory {
 public:
  explicit ServerSelector(TAplMsgWnd& log);
  ~ServerSelector() override;
  std::shared_ptr<SpreadsheetServer> Attach(const std::string& progId) override;
  std::shared_ptr<SpreadsheetServer> Start(const std::string& progId) override;
  /// True when this build can drive LibreOffice.
  static bool HasLibreOffice();
  EmbeddedServerFactory& Embedded() { return embedded_; }
  /// The LibreOffice factory (to choose its pipe); null when this build has no UNO server
  /// or a stand-in replaced it.
  UnoServerFactory* LibreOffice();
  /// Replaces what answers to LibreOffice's names (a test's stand-in for an office).
  void SetLibreOfficeFactory(std::unique_ptr<SpreadsheetServerFactory> factory) {
    libreOffice_ = std::move(factory);
  }

 private:
  SpreadsheetServerFactory* For(const std::string& progId);

  TAplMsgWnd& log_;
  EmbeddedServerFactory embedded_;
  std::unique_ptr<SpreadsheetServerFactory> libreOffice_;
  bool told_ = false;
};

}  // namespace ploxen
