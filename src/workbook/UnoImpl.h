// The inside of UnoServer, shared by its source files (UnoConnection, UnoBooks, UnoSheets,
// UnoCells and UnoServer.cpp). Only those files include it: they alone are compiled with the
// SDK's include folders and definitions (see UnoTarget.cmake).
#pragma once

#include <atomic>
#include <condition_variable>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/connection/XConnection.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/frame/XDesktop2.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XFormulaParser.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/sheet/XUsedAreaCursor.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <com/sun/star/util/XCloseListener.hpp>
#include <cppuhelper/implbase1.hxx>

#include "workbook/OfficeProcess.h"
#include "workbook/UnoServer.h"

namespace ploxen {

namespace css = com::sun::star;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;
using rtl::OString;
using rtl::OUString;

namespace uno {

OUString ToOu(const std::string& s);
std::string FromOu(const OUString& s);
/// The file URL of an absolute path, and back ("" for a URL that is no file).
OUString UrlOf(const std::string& path);
std::string PathOfUrl(const OUString& url);
css::beans::PropertyValue Property(const char* name, const Any& value);

/// Raises a flag when the object it listens to goes away (the bridge, a document).
class GoneListener : public cppu::WeakImplHelper1<css::util::XCloseListener> {
 public:
  explicit GoneListener(std::shared_ptr<std::atomic<bool>> flag) : flag_(std::move(flag)) {}
  void SAL_CALL queryClosing(const css::lang::EventObject&, sal_Bool) override {}
  void SAL_CALL notifyClosing(const css::lang::EventObject&) override { flag_->store(true); }
  void SAL_CALL disposing(const css::lang::EventObject&) override { flag_->store(true); }

 private:
  std::shared_ptr<std::atomic<bool>> flag_;
};

/// Closes the connection when a call has waited longer than its bound, which makes the
/// waiting call fail at once instead of hanging. It checks ten times a second.
class Watchdog {
 public:
  Watchdog();
  ~Watchdog();
  Watchdog(const Watchdog&) = delete;
  Watchdog& operator=(const Watchdog&) = delete;
  void Watch(Reference<css::connection::XConnection> connection);
  void Arm(int ms);
  /// Ends the watch of a call; true when the bound ran out meanwhile.
  bool Disarm();

 private:
  void Loop();

  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  std::atomic<long long> deadline_{0};
  std::atomic<bool> fired_{false};
  Reference<css::connection::XConnection> connection_;
  std::thread thread_;
};

// Every query of an interface on a remote object is a round trip to the office; the entries
// keep the interfaces their operations use.
struct BookEntry {
  Reference<css::sheet::XSpreadsheetDocument> doc;
  Reference<css::frame::XModel> model;
  Reference<css::uno::XInterface> id;
  Reference<css::sheet::XSpreadsheets> spreadsheets;
  Reference<css::container::XIndexAccess> sheets;  ///< the same, by position
  Reference<css::sheet::XFormulaParser> parser;
  std::shared_ptr<std::atomic<bool>> closed;
  /// The sheet handle last handed out for each position: checked with one call before reuse.
  std::map<int, SheetHandle> atPosition;
  std::string name;         ///< file name of a new book before its first save
  std::string plannedPath;  ///< its full path when AddBook named a folder
};

/// A sheet of a book. The office hands out a new object for a sheet on every request, so
/// objects cannot be compared; each object follows its sheet through renames and moves, and
/// its address tells where that sheet stands now.
struct SheetEntry {
  BookHandle book = 0;
  Reference<css::sheet::XSpreadsheet> sheet;
  Reference<css::sheet::XCellRangeAddressable> address;
  Reference<css::container::XNamed> named;
  /// A cursor kept for LastCell, made on its first call.
  Reference<css::sheet::XUsedAreaCursor> usedArea;
  Reference<css::sheet::XCellRangeAddressable> usedAddress;
};

}  // namespace uno

struct UnoServer::Impl {
  Impl(TAplMsgWnd& l, std::string p) : log(l), pipe(std::move(p)) {}
  ~Impl();

  TAplMsgWnd& log;
  std::string pipe;
  std::mutex mutex;
  uno::Watchdog watchdog;
  Reference<css::connection::XConnection> connection;
  Reference<css::bridge::XBridge> bridge;
  Reference<css::uno::XComponentContext> remote;
  Reference<css::frame::XDesktop2> desktop;
  std::shared_ptr<std::atomic<bool>> bridgeGone = std::make_shared<std::atomic<bool>>(false);
  bool connected = false;
  bool everConnected = false;
  bool quit = false;
  bool headless = false;
  int callTimeout = kUnoCallTimeoutMs;
  std::unique_ptr<OfficeProcess> process;
  std::string version;
  ServerError error = ServerError::kNone;
  std::string errorText;
  std::map<BookHandle, uno::BookEntry> books;
  std::vector<BookHandle> order;  ///< the workbook collection, in opening order
  std::map<SheetHandle, uno::SheetEntry> sheets;
  int nextHandle = 1;

  bool Fail(ServerError e, std::string text) {
    error = e;
    errorText = std::move(text);
    return false;
  }
  bool Ok() {
    error = ServerError::kNone;
    errorText.clear();
    return true;
  }

  // The connection (UnoConnection.cpp).
  void ConnectPipe();
  void Drop();
  /// Asks an office this program started to end, under the watchdog.
  void TerminateStarted();
  bool Broken(bool timedOut, const std::string& why);
  /// Runs one operation against the office: connects again when the connection was lost,
  /// watches the time, and turns every exception into a refusal with its reason.
  bool Run(int timeoutMs, const std::function<bool()>& body);

  // Books (UnoBooks.cpp).
  BookHandle Track(const Reference<css::sheet::XSpreadsheetDocument>& doc);
  void Refresh();
  uno::BookEntry* BookOf(BookHandle book);
  /// Forgets a book and its sheets.
  void Forget(BookHandle book);
  std::string NameOf(uno::BookEntry& entry);
  /// True when another open book than `except` has the file name of `path`.
  bool NameInUse(const std::string& path, BookHandle except);
  bool SaveAs(uno::BookEntry& entry, const std::string& path);

  // Sheets (UnoSheets.cpp).
  uno::SheetEntry* SheetOf(SheetHandle sheet);
  SheetHandle SheetAt(BookHandle book, uno::BookEntry& entry, int index);
  bool NameTaken(uno::BookEntry& entry, const std::string& name, const uno::SheetEntry* except);

  // Cells (UnoCells.cpp).
  Reference<css::sheet::XFormulaParser> ParserOf(uno::BookEntry& entry);
  /// The cells of `block` (1-based) as one range.
  Reference<css::table::XCellRange> RangeOf(uno::SheetEntry& s, const CellBlock& block);
  bool ReadBlock(uno::SheetEntry& s, const CellBlock& block, std::vector<std::string>& texts);
  void WriteBlock(uno::SheetEntry& s, const CellBlock& block, const std::vector<std::string>& texts,
                  bool skipEmpty);
  void WriteData(uno::SheetEntry& s, int row, int column, const Sequence<Sequence<Any>>& data);
};

}  // namespace ploxen
