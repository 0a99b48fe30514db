// Atomic saving of a book in either format, and the OpenDocument package built with libzip.
#include "workbook/BookWriter.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zip.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "support/FileIO.h"
#include "workbook/OdsContent.h"
#include "workbook/OdsPatch.h"
#include "workbook/PackageZip.h"
#include "workbook/SourcePackage.h"
#include "workbook/XlsxLinks.h"
#include "workbook/XlsxPatch.h"

namespace ploxen {

namespace fs = std::filesystem;

namespace {

/// Adds a part from a buffer that outlives the archive; `store` keeps it uncompressed.
bool AddPart(zip_t* za, const char* name, const std::string& data, bool store) {
  zip_source_t* src = zip_source_buffer(za, data.data(), data.size(), 0);
  if (!src) return false;
  zip_int64_t index = zip_file_add(za, name, src, ZIP_FL_ENC_UTF_8);
  if (index < 0) {
    zip_source_free(src);
    return false;
  }
  return zip_set_file_compression(za, static_cast<zip_uint64_t>(index),
                                  store ? ZIP_CM_STORE : ZIP_CM_DEFLATE, store ? 0 : 1) == 0;
}

}  // namespace

bool BuildOds(WorkbookEngine& engine, Book& book, std::string& bytes, std::string& error) {
  const std::string mimetype = "application/vnd.oasis.opendocument.spreadsheet";
  const std::string content = OdsContentXml(engine, book);
  const std::string styles = OdsStylesXml();
  const std::string meta = OdsMetaXml();
  const std::string manifest = OdsManifestXml();
  zip_error_t zerr;
  zip_error_init(&zerr);
  zip_source_t* src = zip_source_buffer_create(nullptr, 0, 0, &zerr);
  if (!src) {
    error = "no memory for the package";
    return false;
  }
  zip_t* za = zip_open_from_source(src, ZIP_TRUNCATE, &zerr);
  if (!za) {
    zip_source_free(src);
    error = "the package cannot be built";
    return false;
  }
  zip_source_keep(src);
  // The mimetype part comes first and uncompressed, so that the type shows at a fixed offset.
  bool ok = AddPart(za, "mimetype", mimetype, true) && AddPart(za, "content.xml", content, false) &&
            AddPart(za, "styles.xml", styles, false) && AddPart(za, "meta.xml", meta, false) &&
            AddPart(za, "META-INF/manifest.xml", manifest, false);
  if (!ok) {
    zip_discard(za);
    zip_source_free(src);
    error = "the package cannot be built";
    return false;
  }
  if (zip_close(za) < 0) {
    zip_discard(za);
    zip_source_free(src);
    error = "the package cannot be built";
    return false;
  }
  ok = ReadZipSource(src, bytes);
  zip_source_free(src);
  if (!ok) error = "the package cannot be read back";
  return ok;
}

namespace {

/// Writes the .xlsx to a temporary file beside `path`, then backs up and replaces `path`.
bool SaveXlsxAtomic(WorkbookEngine& engine, Book& book, const std::string& path,
                    std::string& error) {
  fs::path target(path);
  std::string tempName = ".";
  tempName += target.filename().string();
  tempName += ".tmp~XXXXXX";
  std::string temp = (target.parent_path() / tempName).string();
  int fd = ::mkstemp(temp.data());
  if (fd < 0) {
    error = "no file can be created in the folder of " + path;
    return false;
  }
  ::close(fd);
  bool ok = WriteXlsx(engine, book, temp, error) && AddXlsxExternalLinks(engine, book, temp, error);
  std::error_code ec;
  // The new file keeps the owner and permissions of the old one (a temporary file starts
  // private).
  struct stat old {};
  if (::stat(path.c_str(), &old) == 0) {
    if (old.st_uid != ::geteuid() || old.st_gid != ::getegid()) {
      bool kept = ::chown(temp.c_str(), old.st_uid, old.st_gid) == 0;
      if (!kept) kept = ::chown(temp.c_str(), static_cast<uid_t>(-1), old.st_gid) == 0;
      (void)kept;
    }
    ::chmod(temp.c_str(), old.st_mode & 07777);
  } else {
    ::chmod(temp.c_str(), 0644);
  }
  // Flush the new file before it replaces the old one, so a crash leaves one or the other.
  if (ok) {
    int tfd = ::open(temp.c_str(), O_RDONLY);
    ok = tfd >= 0 && ::fsync(tfd) == 0;
    if (tfd >= 0) ::close(tfd);
    if (!ok) error = "the file cannot be flushed to disk";
  }
  if (ok && fs::exists(path, ec) && !CopyToBackup(path)) {
    error = "the backup of the old file cannot be written";
    ok = false;
  }
  if (ok && std::rename(temp.c_str(), path.c_str()) != 0) {
    error = "the file cannot be replaced";
    ok = false;
  }
  if (!ok) fs::remove(temp, ec);
  return ok;
}

}  // namespace

bool SaveTarget(const std::string& path, std::string& target, std::string& error) {
  // A symbolic link stays a link: the file it points to (through any chain of links) is saved.
  fs::path p(path);
  std::error_code ec;
  for (int hops = 0; fs::is_symlink(fs::symlink_status(p, ec)); ++hops) {
    fs::path next = fs::read_symlink(p, ec);
    if (ec || hops >= 40) {
      error = path + " is a symbolic link that cannot be followed";
      return false;
    }
    p = next.is_absolute() ? next : p.parent_path() / next;
  }
  target = p.lexically_normal().string();
  struct stat st {};
  if (::stat(target.c_str(), &st) != 0) return true;  // a new file
  if (!S_ISREG(st.st_mode)) {
    error = target + " is not a regular file";
    return false;
  }
  // No write bit at all refuses even a user (root) whom the system would let write.
  if ((st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0) {
    error = target + " is read-only (it has no write permission)";
    return false;
  }
  if (::access(target.c_str(), W_OK) != 0) {
    error = target + " may not be written by this user (permission denied)";
    return false;
  }
  return true;
}

bool WriteBookFile(WorkbookEngine& engine, Book& book, const std::string& path, BookFormat format,
                   std::string& error) {
  try {
    engine.RecalculateAll();
    std::string target;
    if (!SaveTarget(path, target, error)) return false;
    if (KeepsPackage(book, format)) {
      std::string bytes;
      bool ok = format == BookFormat::kXlsx ? PatchXlsx(engine, book, *book.source, bytes, error)
                                            : PatchOds(engine, book, *book.source, bytes, error);
      if (!ok) return false;
      if (!WriteFileAtomic(target, bytes, true)) {
        error = "the file cannot be written";
        return false;
      }
      // The file now holds what the book holds: later saves compare with it.
      book.source = CaptureSource(book, std::move(bytes));
      return true;
    }
    if (format == BookFormat::kXlsx) {
      if (!SaveXlsxAtomic(engine, book, target, error)) return false;
    } else {
      std::string bytes;
      if (!BuildOds(engine, book, bytes, error)) return false;
      if (!WriteFileAtomic(target, bytes, true)) {
        error = "the file cannot be written";
        return false;
      }
    }
    book.source.reset();
    return true;
  } catch (const std::exception& e) {
    error = std::string("the file cannot be written (") + e.what() + ")";
  } catch (...) {
    error = "the file cannot be written";
  }
  return false;
}

bool KeepsPackage(const Book& book, BookFormat format) {
  return book.source && book.source->format == format;
}

}  // namespace ploxen
