// The sheets of the office's documents: their handles, which survive renames and moves in the
// office, adding, renaming and deleting under the naming rules, and the active sheet.
#include <com/sun/star/container/XNamed.hpp>
#include <com/sun/star/frame/XController.hpp>
#include <com/sun/star/lang/IndexOutOfBoundsException.hpp>
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

/// The handle of the sheet at 1-based `index`: the one handed out for that position before
/// while its sheet still stands there (one call), else a new one.
SheetHandle UnoServer::Impl::SheetAt(BookHandle book, BookEntry& entry, int index) {
  if (auto hint = entry.atPosition.find(index); hint != entry.atPosition.end()) {
    auto known = sheets.find(hint->second);
    if (known != sheets.end() && known->second.address->getRangeAddress().Sheet == index - 1)
      return hint->second;
  }
  Reference<css::sheet::XSpreadsheet> sheet(entry.sheets->getByIndex(index - 1), UNO_QUERY_THROW);
  SheetHandle handle = nextHandle++;
  SheetEntry& added = sheets[handle];
  added.book = book;
  added.sheet = sheet;
  added.address.set(sheet, UNO_QUERY_THROW);
  added.named.set(sheet, UNO_QUERY_THROW);
  entry.atPosition[index] = handle;
  return handle;
}

bool UnoServer::Impl::NameTaken(BookEntry& entry, const std::string& name,
                                const SheetEntry* except) {
  std::string wanted = LowerAscii(name);
  // Names are unique ignoring letter case: `except`'s own name stands once in the list.
  std::string own = except ? LowerAscii(FromOu(except->named->getName())) : std::string();
  bool ownSkipped = except == nullptr;
  const Sequence<OUString> names = entry.spreadsheets->getElementNames();
  for (sal_Int32 i = 0; i < names.getLength(); ++i) {
    std::string lower = LowerAscii(FromOu(names[i]));
    if (!ownSkipped && lower == own) {
      ownSkipped = true;
      continue;
    }
    if (lower == wanted) return true;
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
    // One call: the office itself says when there is no sheet at `index`.
    try {
      if (index >= 1) {
        sheet = impl_->SheetAt(book, *entry, index);
        return impl_->Ok();
      }
    } catch (const css::lang::IndexOutOfBoundsException&) {
    }
    return impl_->Fail(ServerError::kNoSheet, "no worksheet at this position");
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
    entry->spreadsheets->insertNewByName(ToOu(name), static_cast<sal_Int16>(at));
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
    OUString name = s->named->getName();
    entry.spreadsheets->removeByName(name);
    impl_->sheets.erase(sheet);
    return impl_->Ok();
  });
}

bool UnoServer::SheetName(SheetHandle sheet, std::string& name) {
  return impl_->Run(impl_->callTimeout, [&] {
    SheetEntry* s = impl_->SheetOf(sheet);
    if (!s) return false;
    name = FromOu(s->named->getName());
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
    s->named->setName(ToOu(name));
    return impl_->Ok();
  });
}

bool UnoServer::ActivateSheet(SheetHandle sheet) {
  return impl_->Run(impl_->callTimeout, [&] {
    SheetEntry* s = impl_->SheetOf(sheet);
    if (!s) return false;
    Reference<css::frame::XController> controller =
        impl_->books[s->book].model->getCurrentController();
    Reference<css::sheet::XSpreadsheetView> view(controller, UNO_QUERY);
    if (view.is()) view->setActiveSheet(s->sheet);
    return impl_->Ok();
  });
}

}  // namespace ploxen
