// LibreOffice Calc over UNO: the connection and its watchdog, books, sheets and cells. Every
// UNO header and type of the program stays inside this file.
#include "workbook/UnoServer.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include <com/sun/star/awt/XTopWindow.hpp>
#include <com/sun/star/awt/XWindow.hpp>
#include <com/sun/star/beans/NamedValue.hpp>
#include <com/sun/star/beans/PropertyValue.hpp>
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/bridge/BridgeFactory.hpp>
#include <com/sun/star/bridge/XBridge.hpp>
#include <com/sun/star/configuration/theDefaultProvider.hpp>
#include <com/sun/star/connection/Connector.hpp>
#include <com/sun/star/container/ElementExistException.hpp>
#include <com/sun/star/container/NoSuchElementException.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/container/XIndexAccess.hpp>
#include <com/sun/star/container/XNameAccess.hpp>
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/frame/Desktop.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XFrame.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/frame/XTitle.hpp>
#include <com/sun/star/io/IOException.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/IllegalArgumentException.hpp>
#include <com/sun/star/lang/IndexOutOfBoundsException.hpp>
#include <com/sun/star/lang/XComponent.hpp>
#include <com/sun/star/lang/XEventListener.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/AddressConvention.hpp>
#include <com/sun/star/sheet/FormulaLanguage.hpp>
#include <com/sun/star/sheet/FormulaMapGroup.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XFormulaOpCodeMapper.hpp>
#include <com/sun/star/sheet/XFormulaParser.hpp>
#include <com/sun/star/sheet/XFormulaTokens.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XSpreadsheet.hpp>
#include <com/sun/star/sheet/XSpreadsheetDocument.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>
#include <com/sun/star/sheet/XUsedAreaCursor.hpp>
#include <com/sun/star/table/CellAddress.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/XText.hpp>
#include <com/sun/star/uno/XComponentContext.hpp>
#include <com/sun/star/util/CloseVetoException.hpp>
#include <com/sun/star/util/XCloseable.hpp>
#include <com/sun/star/util/XCloseListener.hpp>
#include <cppuhelper/bootstrap.hxx>
#include <cppuhelper/implbase1.hxx>
#include <osl/file.hxx>
#include <rtl/bootstrap.hxx>

#include "support/AplMsg.h"
#include "workbook/CellValue.h"
#include "workbook/EngineModel.h"
#include "workbook/OfficeProcess.h"

namespace ploxen {

namespace css = com::sun::star;
namespace fs = std::filesystem;
using rtl::OString;
using rtl::OUString;
using css::uno::Any;
using css::uno::Reference;
using css::uno::Sequence;
using css::uno::UNO_QUERY;
using css::uno::UNO_QUERY_THROW;

namespace {

OUString ToOu(const std::string& s) {
  return OUString(s.data(), static_cast<sal_Int32>(s.size()), RTL_TEXTENCODING_UTF8);
}

std::string FromOu(const OUString& s) {
  OString o = OUStringToOString(s, RTL_TEXTENCODING_UTF8);
  return std::string(o.getStr(), static_cast<std::size_t>(o.getLength()));
}

std::string LowerAscii(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

std::string FileNameOf(const std::string& path) {
  std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string FullPathOf(const std::string& path) {
  std::string p = path;
  std::replace(p.begin(), p.end(), '\\', '/');
  std::error_code ec;
  fs::path full = fs::absolute(fs::path(p), ec);
  return ec ? p : full.lexically_normal().string();
}

OUString UrlOf(const std::string& path) {
  OUString url;
  osl::FileBase::getFileURLFromSystemPath(ToOu(path), url);
  return url;
}

std::string PathOfUrl(const OUString& url) {
  OUString path;
  if (osl::FileBase::getSystemPathFromFileURL(url, path) != osl::FileBase::E_None) return "";
  return FromOu(path);
}

css::beans::PropertyValue Property(const char* name, const Any& value) {
  css::beans::PropertyValue p;
  p.Name = OUString::createFromAscii(name);
  p.Value = value;
  return p;
}

/// The spreadsheet error text of an office error code.
std::string ErrorText(sal_Int32 code) {
  switch (code) {
    case 532:
      return "#DIV/0!";
    case 519:
      return "#VALUE!";
    case 524:
      return "#REF!";
    case 525:
      return "#NAME?";
    case 503:
      return "#NUM!";
    case 521:
      return "#NULL!";
    case 32767:
      return "#N/A";
    default:
      return "Err:" + std::to_string(code);
  }
}

/// The office's save filter for a file name's extension.
const char* FilterOf(const std::string& path) {
  std::string lower = LowerAscii(path);
  auto ends = [&](const char* ext) {
    std::string e = ext;
    return lower.size() >= e.size() && lower.compare(lower.size() - e.size(), e.size(), e) == 0;
  };
  if (ends(".ods")) return "calc8";
  if (ends(".xls")) return "MS Excel 97";
  return "Calc MS Excel 2007 XML";
}

/// The process's own UNO context, made once. It is never disposed: at exit the UNO
/// libraries' own statics may already be gone, and disposing then crashes.
Reference<css::uno::XComponentContext> LocalUnoContext() {
  static std::mutex guard;
  static auto* local = new Reference<css::uno::XComponentContext>();
  std::lock_guard<std::mutex> lock(guard);
  if (!local->is()) {
    OUString value;
    if (!rtl::Bootstrap::get("URE_BOOTSTRAP", value))
      rtl::Bootstrap::set("URE_BOOTSTRAP",
                          ToOu("vnd.sun.star.pathname:" + OfficeProgramFolder() + "/fundamentalrc"));
    *local = cppu::defaultBootstrap_InitialComponentContext();
  }
  return *local;
}

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
  Watchdog() : thread_([this] { Loop(); }) {}
  ~Watchdog() {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      stop_ = true;
    }
    wake_.notify_all();
    thread_.join();
  }
  void Watch(Reference<css::connection::XConnection> connection) {
    std::lock_guard<std::mutex> lock(mutex_);
    connection_ = std::move(connection);
  }
  void Arm(int ms) {
    fired_.store(false);
    deadline_.store(Now() + static_cast<long long>(ms));
  }
  /// Ends the watch of a call; true when the bound ran out meanwhile.
  bool Disarm() {
    deadline_.store(0);
    return fired_.load();
  }

 private:
  static long long Now() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
  }
  void Loop() {
    std::unique_lock<std::mutex> lock(mutex_);
    while (!stop_) {
      wake_.wait_for(lock, std::chrono::milliseconds(100));
      long long deadline = deadline_.load();
      if (deadline == 0 || Now() < deadline || !connection_.is()) continue;
      fired_.store(true);
      deadline_.store(0);
      try {
        connection_->close();
      } catch (...) {
      }
    }
  }

  std::mutex mutex_;
  std::condition_variable wake_;
  bool stop_ = false;
  std::atomic<long long> deadline_{0};
  std::atomic<bool> fired_{false};
  Reference<css::connection::XConnection> connection_;
  std::thread thread_;
};

struct BookEntry {
  Reference<css::sheet::XSpreadsheetDocument> doc;
  Reference<css::uno::XInterface> id;
  Reference<css::container::XIndexAccess> sheets;
  Reference<css::sheet::XFormulaParser> parser;
  std::shared_ptr<std::atomic<bool>> closed;
  std::string name;         ///< file name of a new book before its first save
  std::string plannedPath;  ///< its full path when AddBook named a folder
};

struct SheetEntry {
  BookHandle book = 0;
  Reference<css::sheet::XSpreadsheet> sheet;
  Reference<css::uno::XInterface> id;
};

}  // namespace

struct UnoServer::Impl {
  Impl(TAplMsgWnd& l, std::string p) : log(l), pipe(std::move(p)) {}
  ~Impl();

  TAplMsgWnd& log;
  std::string pipe;
  std::mutex mutex;
  Watchdog watchdog;
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
  std::map<BookHandle, BookEntry> books;
  std::vector<BookHandle> order;  ///< the workbook collection, in opening order
  std::map<SheetHandle, SheetEntry> sheets;
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

  void ConnectPipe();
  void Drop();
  bool Broken(bool timedOut, const std::string& why);
  template <class F>
  bool Run(int timeoutMs, F&& body);

  BookHandle Track(const Reference<css::sheet::XSpreadsheetDocument>& doc);
  void Refresh();
  BookEntry* BookOf(BookHandle book);
  SheetEntry* SheetOf(SheetHandle sheet);
  SheetHandle SheetAt(BookHandle book, BookEntry& entry, int index);
  std::string NameOf(BookEntry& entry);
  bool NameTaken(BookEntry& entry, const std::string& name, const SheetEntry* except);
  Reference<css::sheet::XFormulaParser> ParserOf(BookEntry& entry);
  bool SaveAs(BookEntry& entry, const std::string& path);
  bool ReadBlock(SheetEntry& s, const CellBlock& block, std::vector<std::string>& texts);
  void WriteBlock(SheetEntry& s, const CellBlock& block, const std::vector<std::string>& texts,
                  bool skipEmpty);
  void WriteData(SheetEntry& s, int row, int column, const Sequence<Sequence<Any>>& data);
};

UnoServer::Impl::~Impl() {
  if (connected && process) {
    watchdog.Arm(callTimeout);
    try {
      desktop->terminate();
    } catch (...) {
    }
    watchdog.Disarm();
  }
  Drop();
  process.reset();  // stops the office this program started
}

// ---- connection ----------------------------------------------------------------------------

void UnoServer::Impl::ConnectPipe() {
  Reference<css::uno::XComponentContext> local = LocalUnoContext();
  Reference<css::connection::XConnector> connector = css::connection::Connector::create(local);
  connection = connector->connect(ToOu("pipe,name=" + pipe));
  watchdog.Watch(connection);
  watchdog.Arm(callTimeout);
  bridgeGone = std::make_shared<std::atomic<bool>>(false);
  bridge = css::bridge::BridgeFactory::create(local)->createBridge(
      OUString(), "urp", connection, Reference<css::bridge::XInstanceProvider>());
  Reference<css::lang::XComponent>(bridge, UNO_QUERY_THROW)
      ->addEventListener(new GoneListener(bridgeGone));
  remote.set(bridge->getInstance("StarOffice.ComponentContext"), UNO_QUERY_THROW);
  desktop = css::frame::Desktop::create(remote);
  try {
    css::beans::NamedValue node;
    node.Name = "nodepath";
    node.Value <<= OUString("/org.openoffice.Setup/Product");
    Sequence<Any> args(1);
    args[0] <<= node;
    Reference<css::container::XNameAccess> product(
        css::configuration::theDefaultProvider::get(remote)->createInstanceWithArguments(
            "com.sun.star.configuration.ConfigurationAccess", args),
        UNO_QUERY_THROW);
    OUString v;
    product->getByName("ooSetupVersionAboutBox") >>= v;
    version = FromOu(v);
  } catch (const css::uno::Exception&) {
    version = "LibreOffice";
  }
  bool fired = watchdog.Disarm();
  if (fired) throw css::lang::DisposedException("no answer from LibreOffice");
  connected = true;
}

void UnoServer::Impl::Drop() {
  books.clear();
  order.clear();
  sheets.clear();
  desktop.clear();
  remote.clear();
  if (connection.is()) {
    try {
      connection->close();
    } catch (...) {
    }
  }
  if (bridge.is()) {
    try {
      Reference<css::lang::XComponent>(bridge, UNO_QUERY_THROW)->dispose();
    } catch (...) {
    }
  }
  bridge.clear();
  watchdog.Watch(Reference<css::connection::XConnection>());
  connection.clear();
  connected = false;
}

bool UnoServer::Impl::Broken(bool timedOut, const std::string& why) {
  std::string text =
      timedOut ? "LibreOffice did not answer within " + std::to_string(callTimeout / 1000) +
                     " s; the connection is closed"
               : "The connection to LibreOffice is lost" + (why.empty() ? "" : ": " + why);
  log.Post(kMsgCritical, timedOut ? kMsgUnoNoAnswer : kMsgUnoLost, text);
  Drop();
  return Fail(ServerError::kRefused, text);
}

/// Runs one operation against the office: connects again when the connection was lost,
/// watches the time, and turns every exception into a refusal with its reason.
template <class F>
bool UnoServer::Impl::Run(int timeoutMs, F&& body) {
  std::lock_guard<std::mutex> lock(mutex);
  if (quit) return Fail(ServerError::kRefused, "the connection to LibreOffice was ended");
  if (!connected) {
    try {
      ConnectPipe();
    } catch (const css::uno::Exception& e) {
      Drop();
      return Fail(ServerError::kRefused, "no connection to LibreOffice: " + FromOu(e.Message));
    } catch (...) {
      Drop();
      return Fail(ServerError::kRefused, "no connection to LibreOffice");
    }
    if (everConnected) log.Post(kMsgImportant, kMsgUnoReconnected, "Connected to LibreOffice again");
    everConnected = true;
  }
  watchdog.Arm(timeoutMs);
  bool ok = false;
  std::string why;
  try {
    ok = body();
  } catch (const css::lang::DisposedException& e) {
    why = FromOu(e.Message);
    if (why.find("bridge") != std::string::npos) bridgeGone->store(true);
    ok = Fail(ServerError::kNoBook, "the document is gone: " + why);
  } catch (const css::container::NoSuchElementException& e) {
    ok = Fail(ServerError::kNoSheet, "no such sheet: " + FromOu(e.Message));
  } catch (const css::lang::IndexOutOfBoundsException& e) {
    ok = Fail(ServerError::kBadAddress, "outside the sheet: " + FromOu(e.Message));
  } catch (const css::lang::IllegalArgumentException& e) {
    ok = Fail(ServerError::kFileError, FromOu(e.Message));
  } catch (const css::io::IOException& e) {
    ok = Fail(ServerError::kFileError, FromOu(e.Message));
  } catch (const css::uno::Exception& e) {
    why = FromOu(e.Message);
    ok = Fail(ServerError::kRefused, "LibreOffice refused: " + why);
  } catch (const std::exception& e) {
    ok = Fail(ServerError::kRefused, std::string("internal failure: ") + e.what());
  } catch (...) {
    ok = Fail(ServerError::kRefused, "internal failure");
  }
  bool fired = watchdog.Disarm();
  if (fired || bridgeGone->load()) return Broken(fired, why);
  return ok;
}

// ---- books and sheets ------------------------------------------------------------------------

BookHandle UnoServer::Impl::Track(const Reference<css::sheet::XSpreadsheetDocument>& doc) {
  Reference<css::uno::XInterface> id(doc, UNO_QUERY);
  for (auto& [handle, entry] : books)
    if (entry.id == id && !entry.closed->load()) return handle;
  BookEntry entry;
  entry.doc = doc;
  entry.id = id;
  entry.closed = std::make_shared<std::atomic<bool>>(false);
  entry.sheets.set(doc->getSheets(), UNO_QUERY_THROW);
  Reference<css::util::XCloseable> closeable(doc, UNO_QUERY);
  if (closeable.is()) closeable->addCloseListener(new GoneListener(entry.closed));
  BookHandle handle = nextHandle++;
  books[handle] = std::move(entry);
  order.push_back(handle);
  return handle;
}

/// Brings the workbook collection up to date with the office's open spreadsheet documents:
/// books keep their places, new ones are added at the end, closed ones leave.
void UnoServer::Impl::Refresh() {
  std::vector<BookHandle> seen;
  Reference<css::container::XEnumeration> all =
      desktop->getComponents()->createEnumeration();
  while (all->hasMoreElements()) {
    Reference<css::sheet::XSpreadsheetDocument> doc(all->nextElement(), UNO_QUERY);
    if (doc.is()) seen.push_back(Track(doc));
  }
  std::vector<BookHandle> kept;
  for (BookHandle h : order) {
    if (std::find(seen.begin(), seen.end(), h) != seen.end()) {
      kept.push_back(h);
    } else {
      books.erase(h);
      std::erase_if(sheets, [h](const auto& s) { return s.second.book == h; });
    }
  }
  order = std::move(kept);
}

BookEntry* UnoServer::Impl::BookOf(BookHandle book) {
  auto it = books.find(book);
  if (it == books.end()) {
    Fail(ServerError::kNoBook, "no such workbook");
    return nullptr;
  }
  if (it->second.closed->load()) {
    books.erase(it);
    std::erase(order, book);
    std::erase_if(sheets, [book](const auto& s) { return s.second.book == book; });
    Fail(ServerError::kNoBook, "the workbook was closed in LibreOffice");
    return nullptr;
  }
  return &it->second;
}

SheetEntry* UnoServer::Impl::SheetOf(SheetHandle sheet) {
  auto it = sheets.find(sheet);
  if (it == sheets.end()) {
    Fail(ServerError::kNoSheet, "no such worksheet");
    return nullptr;
  }
  if (!BookOf(it->second.book)) return nullptr;
  return &sheets.find(sheet)->second;
}

SheetHandle UnoServer::Impl::SheetAt(BookHandle book, BookEntry& entry, int index) {
  Reference<css::sheet::XSpreadsheet> sheet(entry.sheets->getByIndex(index - 1), UNO_QUERY_THROW);
  for (auto& [handle, s] : sheets)
    if (s.book == book && s.sheet.get() == sheet.get()) return handle;
  Reference<css::uno::XInterface> id(sheet, UNO_QUERY);
  for (auto& [handle, s] : sheets)
    if (s.book == book && s.id == id) return handle;
  SheetHandle handle = nextHandle++;
  sheets[handle] = SheetEntry{book, sheet, id};
  return handle;
}

std::string UnoServer::Impl::NameOf(BookEntry& entry) {
  OUString url = Reference<css::frame::XModel>(entry.doc, UNO_QUERY_THROW)->getURL();
  if (!url.isEmpty()) return FileNameOf(PathOfUrl(url));
  if (!entry.name.empty()) return entry.name;
  return FromOu(Reference<css::frame::XTitle>(entry.doc, UNO_QUERY_THROW)->getTitle());
}

bool UnoServer::Impl::NameTaken(BookEntry& entry, const std::string& name,
                                const SheetEntry* except) {
  std::string wanted = LowerAscii(name);
  for (sal_Int32 i = 0; i < entry.sheets->getCount(); ++i) {
    Reference<css::container::XNamed> named(entry.sheets->getByIndex(i), UNO_QUERY_THROW);
    if (except && Reference<css::container::XNamed>(except->sheet, UNO_QUERY).get() == named.get())
      continue;
    if (LowerAscii(FromOu(named->getName())) == wanted) return true;
  }
  return false;
}

/// The document's parser for formulas in the A1 grammar with "," separators, made once.
Reference<css::sheet::XFormulaParser> UnoServer::Impl::ParserOf(BookEntry& entry) {
  if (entry.parser.is()) return entry.parser;
  Reference<css::lang::XMultiServiceFactory> factory(entry.doc, UNO_QUERY_THROW);
  Reference<css::sheet::XFormulaParser> parser(
      factory->createInstance("com.sun.star.sheet.FormulaParser"), UNO_QUERY_THROW);
  Reference<css::sheet::XFormulaOpCodeMapper> mapper(
      factory->createInstance("com.sun.star.sheet.FormulaOpCodeMapper"), UNO_QUERY_THROW);
  Reference<css::beans::XPropertySet> props(parser, UNO_QUERY_THROW);
  props->setPropertyValue("FormulaConvention", Any(css::sheet::AddressConvention::XL_OOX));
  props->setPropertyValue("OpCodeMap",
                          Any(mapper->getAvailableMappings(
                              css::sheet::FormulaLanguage::OOXML,
                              css::sheet::FormulaMapGroup::ALL_EXCEPT_SPECIAL)));
  entry.parser = parser;
  return parser;
}

bool UnoServer::Impl::SaveAs(BookEntry& entry, const std::string& path) {
  std::error_code ec;
  if (!fs::is_directory(fs::path(path).parent_path(), ec))
    return Fail(ServerError::kFileError, "the folder of " + path + " does not exist");
  Sequence<css::beans::PropertyValue> props(2);
  props[0] = Property("FilterName", Any(OUString::createFromAscii(FilterOf(path))));
  props[1] = Property("Overwrite", Any(true));
  Reference<css::frame::XStorable>(entry.doc, UNO_QUERY_THROW)->storeAsURL(UrlOf(path), props);
  entry.name.clear();
  entry.plannedPath.clear();
  return Ok();
}

// ---- cells -----------------------------------------------------------------------------------

bool UnoServer::Impl::ReadBlock(SheetEntry& s, const CellBlock& block,
                                std::vector<std::string>& texts) {
  texts.clear();
  if (block.rows <= 0 || block.columns <= 0) return Ok();
  if (block.row < 1 || block.column < 1) return Fail(ServerError::kBadAddress, "cell outside the sheet");
  Reference<css::table::XCellRange> range = s.sheet->getCellRangeByPosition(
      block.column - 1, block.row - 1, block.column + block.columns - 2, block.row + block.rows - 2);
  Sequence<Sequence<Any>> data =
      Reference<css::sheet::XCellRangeData>(range, UNO_QUERY_THROW)->getDataArray();
  texts.reserve(static_cast<std::size_t>(block.Size()));
  for (sal_Int32 r = 0; r < data.getLength(); ++r) {
    const Sequence<Any>& row = data[r];
    for (sal_Int32 c = 0; c < row.getLength(); ++c) {
      double number = 0.0;
      OUString text;
      if (row[c] >>= number)
        texts.push_back(NumberText(number));
      else if (row[c] >>= text)
        texts.push_back(FromOu(text));
      else  // an error value
        texts.push_back(ErrorText(range->getCellByPosition(c, r)->getError()));
    }
  }
  return Ok();
}

void UnoServer::Impl::WriteData(SheetEntry& s, int row, int column,
                                const Sequence<Sequence<Any>>& data) {
  sal_Int32 rows = data.getLength();
  sal_Int32 columns = rows > 0 ? data[0].getLength() : 0;
  if (rows == 0 || columns == 0) return;
  Reference<css::table::XCellRange> range = s.sheet->getCellRangeByPosition(
      column - 1, row - 1, column + columns - 2, row + rows - 2);
  Reference<css::sheet::XCellRangeData>(range, UNO_QUERY_THROW)->setDataArray(data);
}

/// Numbers and texts go in as values (one call per block, or per run of filled cells with
/// `skipEmpty`), so the office never re-reads a text as a date or number; formulas and
/// booleans follow cell by cell.
void UnoServer::Impl::WriteBlock(SheetEntry& s, const CellBlock& block,
                                 const std::vector<std::string>& texts, bool skipEmpty) {
  std::vector<CellInput> inputs;
  inputs.reserve(texts.size());
  for (const std::string& t : texts) inputs.push_back(ReadCellInput(t));
  auto value = [&](const CellInput& in) {
    if (in.kind == CellInput::Kind::kNumber) return Any(in.number);
    if (in.kind == CellInput::Kind::kText) return Any(ToOu(in.text));
    if (in.kind == CellInput::Kind::kError) return Any(ToOu(std::string(ErrorCodeText(in.error))));
    return Any(OUString());
  };
  auto at = [&](int r, int c) -> const CellInput& {
    return inputs[static_cast<std::size_t>(r * block.columns + c)];
  };
  bool anyEmpty = false;
  for (const CellInput& in : inputs) anyEmpty = anyEmpty || in.kind == CellInput::Kind::kEmpty;
  if (!skipEmpty || !anyEmpty) {
    Sequence<Sequence<Any>> data(block.rows);
    for (int r = 0; r < block.rows; ++r) {
      Sequence<Any> row(block.columns);
      for (int c = 0; c < block.columns; ++c) row[c] = value(at(r, c));
      data[r] = row;
    }
    WriteData(s, block.row, block.column, data);
  } else {
    // Runs of filled cells along the block's longer side, each one call.
    bool down = block.columns == 1;
    int lines = down ? 1 : block.rows;
    int length = down ? block.rows : block.columns;
    for (int line = 0; line < lines; ++line) {
      for (int i = 0; i < length;) {
        auto in = [&](int k) -> const CellInput& { return down ? at(k, 0) : at(line, k); };
        if (in(i).kind == CellInput::Kind::kEmpty) {
          ++i;
          continue;
        }
        int j = i;
        while (j < length && in(j).kind != CellInput::Kind::kEmpty) ++j;
        Sequence<Sequence<Any>> data(down ? j - i : 1);
        if (down) {
          for (int k = i; k < j; ++k) {
            Sequence<Any> one(1);
            one[0] = value(in(k));
            data[k - i] = one;
          }
          WriteData(s, block.row + i, block.column, data);
        } else {
          Sequence<Any> row(j - i);
          for (int k = i; k < j; ++k) row[k - i] = value(in(k));
          data[0] = row;
          WriteData(s, block.row + line, block.column + i, data);
        }
        i = j;
      }
    }
  }
  sal_Int16 sheetIndex = -1;
  for (int r = 0; r < block.rows; ++r) {
    for (int c = 0; c < block.columns; ++c) {
      const CellInput& in = at(r, c);
      if (in.kind != CellInput::Kind::kFormula && in.kind != CellInput::Kind::kBoolean) continue;
      Reference<css::table::XCell> cell =
          s.sheet->getCellByPosition(block.column - 1 + c, block.row - 1 + r);
      if (in.kind == CellInput::Kind::kBoolean) {
        cell->setFormula(in.number != 0.0 ? OUString("TRUE") : OUString("FALSE"));
        continue;
      }
      if (sheetIndex < 0)
        sheetIndex = Reference<css::sheet::XCellRangeAddressable>(s.sheet, UNO_QUERY_THROW)
                         ->getRangeAddress()
                         .Sheet;
      BookEntry* book = BookOf(s.book);
      if (!book) throw css::lang::DisposedException("the workbook was closed");
      css::table::CellAddress where(sheetIndex, block.column - 1 + c, block.row - 1 + r);
      Sequence<css::sheet::FormulaToken> tokens =
          ParserOf(*book)->parseFormula(ToOu(in.text.substr(1)), where);
      Reference<css::sheet::XFormulaTokens>(cell, UNO_QUERY_THROW)->setTokens(tokens);
    }
  }
}

// ---- the server ------------------------------------------------------------------------------

UnoServer::UnoServer(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
UnoServer::~UnoServer() = default;

std::shared_ptr<UnoServer> UnoServer::Connect(TAplMsgWnd& log, const std::string& pipe,
                                              std::string& error) {
  auto impl = std::make_unique<Impl>(log, pipe);
  try {
    impl->ConnectPipe();
  } catch (const css::uno::Exception& e) {
    error = "LibreOffice does not answer on pipe " + pipe + ": " + FromOu(e.Message);
    impl->Drop();
    return nullptr;
  } catch (const cppu::BootstrapException& e) {
    error = "UNO cannot start: " + FromOu(e.getMessage());
    return nullptr;
  } catch (...) {
    error = "LibreOffice does not answer on pipe " + pipe;
    impl->Drop();
    return nullptr;
  }
  impl->everConnected = true;
  impl->headless = !OfficeHasWindows();
  return std::shared_ptr<UnoServer>(new UnoServer(std::move(impl)));
}

void UnoServer::AdoptProcess(std::unique_ptr<OfficeProcess> process) {
  impl_->process = std::move(process);
}
bool UnoServer::StartedHere() const { return impl_->process != nullptr; }
void UnoServer::SetHeadless(bool headless) { impl_->headless = headless; }
void UnoServer::SetCallTimeout(int ms) { impl_->callTimeout = ms; }
bool UnoServer::Connected() const { return impl_->connected && !impl_->quit; }
ServerError UnoServer::LastError() const { return impl_->error; }
std::string UnoServer::LastErrorText() const { return impl_->errorText; }

bool UnoServer::Version(std::string& version) {
  return impl_->Run(impl_->callTimeout, [&] {
    version = impl_->version;
    return impl_->Ok();
  });
}

bool UnoServer::SetVisible(bool visible) {
  return impl_->Run(impl_->callTimeout, [&] {
    // A headless office has no windows; asking one for them ends it.
    if (impl_->headless) return impl_->Ok();
    for (BookHandle h : impl_->order) {
      Reference<css::frame::XController> controller =
          Reference<css::frame::XModel>(impl_->books[h].doc, UNO_QUERY_THROW)->getCurrentController();
      if (!controller.is()) continue;
      Reference<css::awt::XWindow> window = controller->getFrame()->getContainerWindow();
      window->setVisible(visible);
      if (visible) {
        Reference<css::awt::XTopWindow> top(window, UNO_QUERY);
        if (top.is()) top->toFront();
      }
    }
    return impl_->Ok();
  });
}

bool UnoServer::Quit() {
  std::unique_lock<std::mutex> lock(impl_->mutex);
  if (impl_->quit) return impl_->Fail(ServerError::kRefused, "the connection to LibreOffice was ended");
  if (impl_->process && impl_->connected) {
    impl_->watchdog.Arm(impl_->callTimeout);
    try {
      impl_->desktop->terminate();
    } catch (...) {
    }
    impl_->watchdog.Disarm();
  }
  impl_->Drop();
  impl_->quit = true;
  if (impl_->process) {
    impl_->process->Stop(5000);
    impl_->process.reset();
  }
  return impl_->Ok();
}

bool UnoServer::BookCount(int& count) {
  return impl_->Run(impl_->callTimeout, [&] {
    impl_->Refresh();
    count = static_cast<int>(impl_->order.size());
    return impl_->Ok();
  });
}

bool UnoServer::BookItem(int index, BookHandle& book) {
  return impl_->Run(impl_->callTimeout, [&] {
    if (impl_->order.empty() || index > static_cast<int>(impl_->order.size())) impl_->Refresh();
    if (index < 1 || index > static_cast<int>(impl_->order.size()))
      return impl_->Fail(ServerError::kNoBook, "no workbook at this position");
    book = impl_->order[static_cast<std::size_t>(index - 1)];
    return impl_->Ok();
  });
}

bool UnoServer::OpenBook(const std::string& path, bool updateLinks, BookHandle& book) {
  return impl_->Run(kUnoFileTimeoutMs, [&] {
    std::string full = FullPathOf(path);
    std::error_code ec;
    if (!fs::is_regular_file(full, ec))
      return impl_->Fail(ServerError::kFileError, full + " does not exist");
    std::string name = LowerAscii(FileNameOf(full));
    impl_->Refresh();
    for (BookHandle h : impl_->order) {
      BookEntry& entry = impl_->books[h];
      if (LowerAscii(impl_->NameOf(entry)) != name) continue;
      OUString url = Reference<css::frame::XModel>(entry.doc, UNO_QUERY_THROW)->getURL();
      if (PathOfUrl(url) == full) {
        book = h;
        return impl_->Ok();
      }
      return impl_->Fail(ServerError::kRefused,
                         "a workbook named " + FileNameOf(full) + " is already open");
    }
    Sequence<css::beans::PropertyValue> props(2);
    props[0] = Property("Hidden", Any(impl_->headless));
    props[1] = Property("UpdateDocMode",
                        Any(updateLinks ? css::document::UpdateDocMode::QUIET_UPDATE
                                        : css::document::UpdateDocMode::NO_UPDATE));
    Reference<css::lang::XComponent> component =
        impl_->desktop->loadComponentFromURL(UrlOf(full), "_blank", 0, props);
    Reference<css::sheet::XSpreadsheetDocument> doc(component, UNO_QUERY);
    if (!doc.is()) {
      Reference<css::util::XCloseable> closeable(component, UNO_QUERY);
      if (closeable.is()) closeable->close(true);
      return impl_->Fail(ServerError::kFileError, full + " is not a spreadsheet");
    }
    book = impl_->Track(doc);
    return impl_->Ok();
  });
}

bool UnoServer::AddBook(const std::string& name, BookHandle& book) {
  return impl_->Run(kUnoFileTimeoutMs, [&] {
    impl_->Refresh();
    std::vector<std::string> taken;
    for (BookHandle h : impl_->order) taken.push_back(LowerAscii(impl_->NameOf(impl_->books[h])));
    auto isTaken = [&](const std::string& n) {
      return std::find(taken.begin(), taken.end(), LowerAscii(n)) != taken.end();
    };
    std::string fileName = FileNameOf(name);
    for (int n = 1; fileName.empty(); ++n)
      if (!isTaken("Book" + std::to_string(n) + ".xlsx")) fileName = "Book" + std::to_string(n) + ".xlsx";
    if (isTaken(fileName))
      return impl_->Fail(ServerError::kRefused, "a workbook named " + fileName + " is already open");
    Sequence<css::beans::PropertyValue> props(1);
    props[0] = Property("Hidden", Any(impl_->headless));
    Reference<css::sheet::XSpreadsheetDocument> doc(
        impl_->desktop->loadComponentFromURL("private:factory/scalc", "_blank", 0, props),
        UNO_QUERY_THROW);
    book = impl_->Track(doc);
    impl_->books[book].name = fileName;
    if (name.find('/') != std::string::npos) impl_->books[book].plannedPath = FullPathOf(name);
    return impl_->Ok();
  });
}

bool UnoServer::CloseBook(BookHandle book) {
  return impl_->Run(impl_->callTimeout, [&] {
    BookEntry* entry = impl_->BookOf(book);
    if (!entry) return false;
    Reference<css::util::XCloseable>(entry->doc, UNO_QUERY_THROW)->close(true);
    impl_->books.erase(book);
    std::erase(impl_->order, book);
    std::erase_if(impl_->sheets, [book](const auto& s) { return s.second.book == book; });
    return impl_->Ok();
  });
}

bool UnoServer::BookName(BookHandle book, std::string& name) {
  return impl_->Run(impl_->callTimeout, [&] {
    BookEntry* entry = impl_->BookOf(book);
    if (!entry) return false;
    name = impl_->NameOf(*entry);
    return impl_->Ok();
  });
}

bool UnoServer::BookFullName(BookHandle book, std::string& fullName) {
  return impl_->Run(impl_->callTimeout, [&] {
    BookEntry* entry = impl_->BookOf(book);
    if (!entry) return false;
    OUString url = Reference<css::frame::XModel>(entry->doc, UNO_QUERY_THROW)->getURL();
    if (!url.isEmpty())
      fullName = PathOfUrl(url);
    else
      fullName = entry->plannedPath.empty() ? impl_->NameOf(*entry) : entry->plannedPath;
    return impl_->Ok();
  });
}

bool UnoServer::SaveBook(BookHandle book) {
  return impl_->Run(kUnoFileTimeoutMs, [&] {
    BookEntry* entry = impl_->BookOf(book);
    if (!entry) return false;
    OUString url = Reference<css::frame::XModel>(entry->doc, UNO_QUERY_THROW)->getURL();
    if (url.isEmpty()) {
      if (entry->plannedPath.empty())
        return impl_->Fail(ServerError::kFileError, impl_->NameOf(*entry) + " has no file yet");
      return impl_->SaveAs(*entry, entry->plannedPath);
    }
    // A book keeps the format it was read in.
    Reference<css::frame::XStorable>(entry->doc, UNO_QUERY_THROW)->store();
    return impl_->Ok();
  });
}

bool UnoServer::SaveBookAs(BookHandle book, const std::string& path) {
  return impl_->Run(kUnoFileTimeoutMs, [&] {
    BookEntry* entry = impl_->BookOf(book);
    if (!entry) return false;
    std::string full = FullPathOf(path);
    std::string name = LowerAscii(FileNameOf(full));
    for (BookHandle h : impl_->order)
      if (h != book && LowerAscii(impl_->NameOf(impl_->books[h])) == name)
        return impl_->Fail(ServerError::kRefused,
                           "a workbook named " + FileNameOf(full) + " is already open");
    return impl_->SaveAs(*entry, full);
  });
}

bool UnoServer::SheetCount(BookHandle book, int& count) {
  return impl_->Run(impl_->callTimeout, [&] {
    BookEntry* entry = impl_->BookOf(book);
    if (!entry) return false;
    count = static_cast<int>(entry->sheets->getCount());
    return impl_->Ok();
  });
}

bool UnoServer::SheetItem(BookHandle book, int index, SheetHandle& sheet) {
  return impl_->Run(impl_->callTimeout, [&] {
    BookEntry* entry = impl_->BookOf(book);
    if (!entry) return false;
    if (index < 1 || index > entry->sheets->getCount())
      return impl_->Fail(ServerError::kNoSheet, "no worksheet at this position");
    sheet = impl_->SheetAt(book, *entry, index);
    return impl_->Ok();
  });
}

bool UnoServer::AddSheet(BookHandle book, const std::string& name, int position,
                         SheetHandle& sheet) {
  return impl_->Run(impl_->callTimeout, [&] {
    BookEntry* entry = impl_->BookOf(book);
    if (!entry) return false;
    SheetNameStatus shape = SheetNameShape(name);
    if (shape != SheetNameStatus::kOk) return impl_->Fail(ServerError::kBadName, SheetNameProblem(shape));
    if (impl_->NameTaken(*entry, name, nullptr))
      return impl_->Fail(ServerError::kBadName, SheetNameProblem(SheetNameStatus::kDuplicate));
    int count = static_cast<int>(entry->sheets->getCount());
    int at = position < 1 || position > count ? count : position - 1;
    entry->doc->getSheets()->insertNewByName(ToOu(name), static_cast<sal_Int16>(at));
    sheet = impl_->SheetAt(book, *entry, at + 1);
    return impl_->Ok();
  });
}

bool UnoServer::DeleteSheet(SheetHandle sheet) {
  return impl_->Run(impl_->callTimeout, [&] {
    SheetEntry* s = impl_->SheetOf(sheet);
    if (!s) return false;
    BookEntry& entry = impl_->books[s->book];
    if (entry.sheets->getCount() <= 1)
      return impl_->Fail(ServerError::kRefused, "the last sheet of a workbook cannot be deleted");
    OUString name = Reference<css::container::XNamed>(s->sheet, UNO_QUERY_THROW)->getName();
    entry.doc->getSheets()->removeByName(name);
    impl_->sheets.erase(sheet);
    return impl_->Ok();
  });
}

bool UnoServer::SheetName(SheetHandle sheet, std::string& name) {
  return impl_->Run(impl_->callTimeout, [&] {
    SheetEntry* s = impl_->SheetOf(sheet);
    if (!s) return false;
    name = FromOu(Reference<css::container::XNamed>(s->sheet, UNO_QUERY_THROW)->getName());
    return impl_->Ok();
  });
}

bool UnoServer::RenameSheet(SheetHandle sheet, const std::string& name) {
  return impl_->Run(impl_->callTimeout, [&] {
    SheetEntry* s = impl_->SheetOf(sheet);
    if (!s) return false;
    SheetNameStatus shape = SheetNameShape(name);
    if (shape != SheetNameStatus::kOk) return impl_->Fail(ServerError::kBadName, SheetNameProblem(shape));
    if (impl_->NameTaken(impl_->books[s->book], name, s))
      return impl_->Fail(ServerError::kBadName, SheetNameProblem(SheetNameStatus::kDuplicate));
    Reference<css::container::XNamed>(s->sheet, UNO_QUERY_THROW)->setName(ToOu(name));
    return impl_->Ok();
  });
}

bool UnoServer::ActivateSheet(SheetHandle sheet) {
  return impl_->Run(impl_->callTimeout, [&] {
    SheetEntry* s = impl_->SheetOf(sheet);
    if (!s) return false;
    Reference<css::frame::XController> controller =
        Reference<css::frame::XModel>(impl_->books[s->book].doc, UNO_QUERY_THROW)
            ->getCurrentController();
    Reference<css::sheet::XSpreadsheetView> view(controller, UNO_QUERY);
    if (view.is()) view->setActiveSheet(s->sheet);
    return impl_->Ok();
  });
}

bool UnoServer::CellValue(SheetHandle sheet, int row, int column, std::string& text) {
  std::vector<std::string> texts;
  if (!RangeValues(sheet, CellBlock{row, column, 1, 1}, texts)) return false;
  text = texts.empty() ? std::string() : texts.front();
  return true;
}

bool UnoServer::CellText(SheetHandle sheet, int row, int column, std::string& text) {
  std::vector<std::string> texts;
  if (!RangeTexts(sheet, CellBlock{row, column, 1, 1}, texts)) return false;
  text = texts.empty() ? std::string() : texts.front();
  return true;
}

bool UnoServer::SetCellValue(SheetHandle sheet, int row, int column, const std::string& text) {
  return SetRangeValues(sheet, CellBlock{row, column, 1, 1}, {text}, false);
}

bool UnoServer::RangeValues(SheetHandle sheet, const CellBlock& block,
                            std::vector<std::string>& texts) {
  return impl_->Run(impl_->callTimeout, [&] {
    SheetEntry* s = impl_->SheetOf(sheet);
    return s && impl_->ReadBlock(*s, block, texts);
  });
}

bool UnoServer::RangeTexts(SheetHandle sheet, const CellBlock& block,
                           std::vector<std::string>& texts) {
  return impl_->Run(impl_->callTimeout, [&] {
    SheetEntry* s = impl_->SheetOf(sheet);
    if (!s) return false;
    texts.clear();
    if (block.row < 1 || block.column < 1)
      return impl_->Fail(ServerError::kBadAddress, "cell outside the sheet");
    // The displayed text has no block call: one cell at a time.
    for (int r = block.row - 1; r < block.row - 1 + block.rows; ++r)
      for (int c = block.column - 1; c < block.column - 1 + block.columns; ++c)
        texts.push_back(FromOu(
            Reference<css::text::XText>(s->sheet->getCellByPosition(c, r), UNO_QUERY_THROW)
                ->getString()));
    return impl_->Ok();
  });
}

bool UnoServer::SetRangeValues(SheetHandle sheet, const CellBlock& block,
                               const std::vector<std::string>& texts, bool skipEmpty) {
  return impl_->Run(impl_->callTimeout, [&] {
    SheetEntry* s = impl_->SheetOf(sheet);
    if (!s) return false;
    if (block.rows < 0 || block.columns < 0 ||
        texts.size() != static_cast<std::size_t>(block.Size()))
      return impl_->Fail(ServerError::kBadAddress, "the texts do not fill the block");
    if (block.Size() == 0) return impl_->Ok();
    if (block.row < 1 || block.column < 1)
      return impl_->Fail(ServerError::kBadAddress, "cell outside the sheet");
    impl_->WriteBlock(*s, block, texts, skipEmpty);
    return impl_->Ok();
  });
}

bool UnoServer::LastCell(SheetHandle sheet, int& row, int& column) {
  return impl_->Run(impl_->callTimeout, [&] {
    SheetEntry* s = impl_->SheetOf(sheet);
    if (!s) return false;
    Reference<css::sheet::XSheetCellCursor> cursor = s->sheet->createCursor();
    Reference<css::sheet::XUsedAreaCursor>(cursor, UNO_QUERY_THROW)->gotoEndOfUsedArea(false);
    css::table::CellRangeAddress a =
        Reference<css::sheet::XCellRangeAddressable>(cursor, UNO_QUERY_THROW)->getRangeAddress();
    row = static_cast<int>(a.EndRow) + 1;
    column = static_cast<int>(a.EndColumn) + 1;
    return impl_->Ok();
  });
}

bool UnoServer::InsertRow(SheetHandle sheet, int row) {
  return impl_->Run(impl_->callTimeout, [&] {
    SheetEntry* s = impl_->SheetOf(sheet);
    if (!s) return false;
    if (row < 1) return impl_->Fail(ServerError::kBadAddress, "row outside the sheet");
    Reference<css::table::XColumnRowRange>(s->sheet, UNO_QUERY_THROW)
        ->getRows()
        ->insertByIndex(row - 1, 1);
    return impl_->Ok();
  });
}

}  // namespace ploxen

#if defined(__SANITIZE_ADDRESS__)
// The UNO runtime keeps the type descriptions it builds until the process ends and never
// frees them; the leak checker of sanitizer builds is told so.
extern "C" const char* __lsan_default_suppressions() {
  return "leak:libuno_cppu.so\nleak:libuno_sal.so\nleak:libuno_cppuhelpergcc3.so\n";
}
#endif
