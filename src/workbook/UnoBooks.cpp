// The office's open spreadsheet documents as the workbook collection: opening, adding,
// naming, saving and closing books. A book the user closes in the office is refused, never used.
#include <algorithm>
#include <filesystem>

#include <com/sun/star/container/XEnumeration.hpp>
#include <com/sun/star/container/XEnumerationAccess.hpp>
#include <com/sun/star/document/UpdateDocMode.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/frame/XStorable.hpp>
#include <com/sun/star/frame/XTitle.hpp>
#include <com/sun/star/util/XCloseable.hpp>

#include "workbook/BookPath.h"
#include "workbook/UnoImpl.h"

namespace ploxen {

namespace fs = std::filesystem;
using namespace uno;

namespace {

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

OUString UrlOfModel(const BookEntry& entry) {
  return entry.model->getURL();
}

}  // namespace

BookHandle UnoServer::Impl::Track(const Reference<css::sheet::XSpreadsheetDocument>& doc) {
  Reference<css::uno::XInterface> id(doc, UNO_QUERY);
  for (auto& [handle, entry] : books)
    if (entry.id == id && !entry.closed->load()) return handle;
  BookEntry entry;
  entry.doc = doc;
  entry.id = id;
  entry.model.set(doc, UNO_QUERY_THROW);
  entry.closed = std::make_shared<std::atomic<bool>>(false);
  entry.spreadsheets = doc->getSheets();
  entry.sheets.set(entry.spreadsheets, UNO_QUERY_THROW);
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
  Reference<css::container::XEnumeration> all = desktop->getComponents()->createEnumeration();
  while (all->hasMoreElements()) {
    Reference<css::sheet::XSpreadsheetDocument> doc(all->nextElement(), UNO_QUERY);
    if (doc.is()) seen.push_back(Track(doc));
  }
  std::vector<BookHandle> gone;
  for (BookHandle h : order)
    if (std::find(seen.begin(), seen.end(), h) == seen.end()) gone.push_back(h);
  for (BookHandle h : gone) Forget(h);
}

void UnoServer::Impl::Forget(BookHandle book) {
  books.erase(book);
  std::erase(order, book);
  std::erase_if(sheets, [book](const auto& s) { return s.second.book == book; });
}

BookEntry* UnoServer::Impl::BookOf(BookHandle book) {
  auto it = books.find(book);
  if (it == books.end()) {
    Fail(ServerError::kNoBook, "no such workbook");
    return nullptr;
  }
  if (it->second.closed->load()) {
    Forget(book);
    Fail(ServerError::kNoBook, "the workbook was closed in LibreOffice");
    return nullptr;
  }
  return &it->second;
}

std::string UnoServer::Impl::NameOf(BookEntry& entry) {
  OUString url = UrlOfModel(entry);
  if (!url.isEmpty()) return BookFileName(PathOfUrl(url));
  if (!entry.name.empty()) return entry.name;
  return FromOu(Reference<css::frame::XTitle>(entry.doc, UNO_QUERY_THROW)->getTitle());
}

bool UnoServer::Impl::NameInUse(const std::string& path, BookHandle except) {
  std::string name = LowerAscii(BookFileName(path));
  for (BookHandle h : order)
    if (h != except && LowerAscii(NameOf(books[h])) == name) return true;
  return false;
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
    std::string full = FullBookPath(path);
    std::error_code ec;
    if (!fs::is_regular_file(full, ec))
      return impl_->Fail(ServerError::kFileError, full + " does not exist");
    std::string name = LowerAscii(BookFileName(full));
    impl_->Refresh();
    // The same file already open is that book; another file of the same name is refused, as
    // the office could not tell the two apart by name.
    for (BookHandle h : impl_->order) {
      BookEntry& entry = impl_->books[h];
      if (LowerAscii(impl_->NameOf(entry)) != name) continue;
      if (PathOfUrl(UrlOfModel(entry)) == full) {
        book = h;
        return impl_->Ok();
      }
      return impl_->Fail(ServerError::kRefused,
                         "a workbook named " + BookFileName(full) + " is already open");
    }
    Sequence<css::beans::PropertyValue> props(2);
    props[0] = Property("Hidden", Any(impl_->headless));
    props[1] =
        Property("UpdateDocMode", Any(updateLinks ? css::document::UpdateDocMode::QUIET_UPDATE
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
    std::string fileName = BookFileName(name);
    for (int n = 1; fileName.empty(); ++n)
      if (!impl_->NameInUse("Book" + std::to_string(n) + ".xlsx", 0))
        fileName = "Book" + std::to_string(n) + ".xlsx";
    if (impl_->NameInUse(fileName, 0))
      return impl_->Fail(ServerError::kRefused,
                         "a workbook named " + fileName + " is already open");
    Sequence<css::beans::PropertyValue> props(1);
    props[0] = Property("Hidden", Any(impl_->headless));
    Reference<css::sheet::XSpreadsheetDocument> doc(
        impl_->desktop->loadComponentFromURL("private:factory/scalc", "_blank", 0, props),
        UNO_QUERY_THROW);
    book = impl_->Track(doc);
    impl_->books[book].name = fileName;
    if (name.find('/') != std::string::npos) impl_->books[book].plannedPath = FullBookPath(name);
    return impl_->Ok();
  });
}

bool UnoServer::CloseBook(BookHandle book) {
  return impl_->Run(impl_->callTimeout, [&] {
    BookEntry* entry = impl_->BookOf(book);
    if (!entry) return false;
    Reference<css::util::XCloseable>(entry->doc, UNO_QUERY_THROW)->close(true);
    impl_->Forget(book);
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
    OUString url = UrlOfModel(*entry);
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
    if (UrlOfModel(*entry).isEmpty()) {
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
    std::string full = FullBookPath(path);
    if (impl_->NameInUse(full, book))
      return impl_->Fail(ServerError::kRefused,
                         "a workbook named " + BookFileName(full) + " is already open");
    return impl_->SaveAs(*entry, full);
  });
}

}  // namespace ploxen
