// The batch end's save over a workbook it may not replace: no write permission, or open in
// another program. The file stays as it was; the message and the exit status tell the user.
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>

#include <gtest/gtest.h>

#include "AppFixture.h"
#include "workbook/LockFile.h"

namespace ploxen::test {
namespace {

using BatchSaveGuard = AppFixture;

TEST_F(BatchSaveGuard, AReadOnlyWorkbookIsCalculatedButNotReplaced) {
  const std::string book = Example("Process");
  ::chmod(book.c_str(), 0444);
  const std::string before = FileBytes(book);
  auto p = Start({"-x:", book, "-c:", "System"});
  EXPECT_TRUE(p->calc.calculationOk);
  EXPECT_EQ(p->main.ExitStatus(), 1);
  EXPECT_EQ(FileBytes(book), before);
  EXPECT_EQ(TextOf(*p, 343).find("Process.xlsx can not be saved"), 0u);
  bool reason = false;
  for (const LogEntry& e : p->log.Entries())
    reason = reason || (e.number == 343 && e.text.find("read-only") != std::string::npos &&
                        e.text.find(book) != std::string::npos);
  EXPECT_TRUE(reason);
  ::chmod(book.c_str(), 0644);
}

TEST_F(BatchSaveGuard, AWorkbookOpenElsewhereIsNotOverwritten) {
  const std::string book = Example("Process");
  char host[256] = {};
  ::gethostname(host, sizeof host - 1);
  std::ofstream(LockFilePath(book))
      << ",someone," << host << ",09.12.2026 00:10,ploxen-mizzolith:pid=" << ::getppid() << ";";
  const std::string before = FileBytes(book);
  auto p = Start({"-x:", book, "-c:", "System"});
  EXPECT_EQ(p->main.ExitStatus(), 1);
  EXPECT_EQ(FileBytes(book), before);
  bool told = false;
  for (const LogEntry& e : p->log.Entries())
    told = told || e.text.find("is open in another program") != std::string::npos;
  EXPECT_TRUE(told);
}

}  // namespace
}  // namespace ploxen::test
