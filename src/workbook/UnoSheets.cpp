// The sheets of the office's documents: their handles, which survive renames and moves in the
// office, adding, renaming and deleting under the naming rules, and the active sheet.
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/frame/XModel.hpp>
#include <com/sun/star/sheet/XSpreadsheetView.hpp>
#include <com/sun/star/sheet/XSpreadsheets.hpp>

#include "workbook/BookPath.h"
#include "workbook/EngineModel.h"
#include "workbook/UnoImpl.h"

namespace ploxen {

using namespace uno;

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
    if (shape != SheetNameStatus::kOk)
      return impl_->Fail(ServerError::kBadName, SheetNameProblem(shape));
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
    if (shape != SheetNameStatus::kOk)
      return impl_->Fail(ServerError::kBadName, SheetNameProblem(shape));
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

}  // namespace ploxen
