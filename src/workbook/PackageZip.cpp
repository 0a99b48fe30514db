// Package reading and editing with libzip.
#include "workbook/PackageZip.h"

#include <zip.h>

#include <cstdlib>
#include <cstring>

namespace ploxen {

ZipPackage::~ZipPackage() {
  if (za_) zip_discard(za_);
}

bool ZipPackage::Open(std::string_view bytes, std::string& error) {
  zip_error_t zerr;
  zip_error_init(&zerr);
  zip_source_t* src = zip_source_buffer_create(bytes.data(), bytes.size(), 0, &zerr);
  za_ = src ? zip_open_from_source(src, ZIP_RDONLY | ZIP_CHECKCONS, &zerr) : nullptr;
  if (!za_) {
    if (src) zip_source_free(src);
    error = std::string("the zip archive is damaged (") + zip_error_strerror(&zerr) + ")";
    zip_error_fini(&zerr);
    return false;
  }
  std::set<std::string> seen;
  zip_int64_t count = zip_get_num_entries(za_, 0);
  for (zip_int64_t i = 0; i < count; ++i) {
    const char* name = zip_get_name(za_, static_cast<zip_uint64_t>(i), 0);
    if (!name) {
      error = "the zip archive is damaged";
      return false;
    }
    if (!seen.insert(name).second) {
      error = std::string("the package holds the part ") + name + " twice";
      return false;
    }
    parts_.emplace_back(name);
  }
  return true;
}

bool ZipPackage::Has(std::string_view name) const {
  return za_ && zip_name_locate(za_, std::string(name).c_str(), 0) >= 0;
}

bool ZipPackage::Read(std::string_view name, std::string& out) const {
  if (!za_) return false;
  std::string key(name);
  zip_stat_t st;
  if (zip_stat(za_, key.c_str(), 0, &st) != 0 || !(st.valid & ZIP_STAT_SIZE)) return false;
  zip_file_t* f = zip_fopen(za_, key.c_str(), 0);
  if (!f) return false;
  out.resize(st.size);
  bool ok = zip_fread(f, out.data(), st.size) == static_cast<zip_int64_t>(st.size);
  zip_fclose(f);
  return ok;
}

bool ReadZipSource(zip_source_t* src, std::string& bytes) {
  zip_stat_t st;
  if (zip_source_open(src) < 0) return false;
  bool ok = zip_source_stat(src, &st) == 0 && (st.valid & ZIP_STAT_SIZE);
  if (ok) {
    bytes.resize(st.size);
    ok = st.size == 0 ||
         zip_source_read(src, bytes.data(), st.size) == static_cast<zip_int64_t>(st.size);
  }
  zip_source_close(src);
  return ok;
}

namespace {

bool ApplyEdits(zip_t* za, const PackageEdits& edits) {
  for (const std::string& name : edits.remove) {
    zip_int64_t index = zip_name_locate(za, name.c_str(), 0);
    if (index >= 0 && zip_delete(za, static_cast<zip_uint64_t>(index)) != 0) return false;
  }
  for (const auto& [name, data] : edits.put) {
    zip_source_t* part = zip_source_buffer(za, data.data(), data.size(), 0);
    if (!part) return false;
    zip_int64_t index = zip_name_locate(za, name.c_str(), 0);
    if (index >= 0) {
      if (zip_file_replace(za, static_cast<zip_uint64_t>(index), part, 0) != 0) {
        zip_source_free(part);
        return false;
      }
    } else {
      index = zip_file_add(za, name.c_str(), part, ZIP_FL_ENC_UTF_8);
      if (index < 0) {
        zip_source_free(part);
        return false;
      }
    }
    // ZIP_CM_DEFAULT (deflate): asking for the method a replaced part already has would make
    // libzip drop the level and compress at its slowest.
    if (zip_set_file_compression(za, static_cast<zip_uint64_t>(index), ZIP_CM_DEFAULT,
                                 static_cast<zip_uint32_t>(edits.level)) != 0)
      return false;
  }
  return true;
}

}  // namespace

bool EditPackage(std::string_view original, const PackageEdits& edits, std::string& out,
                 std::string& error) {
  zip_error_t zerr;
  zip_error_init(&zerr);
  // libzip frees the buffer it rewrites, whatever it was told: it gets a copy of its own.
  void* copy = std::malloc(original.size() ? original.size() : 1);
  if (!copy) {
    error = "no memory for the package";
    return false;
  }
  std::memcpy(copy, original.data(), original.size());
  zip_source_t* src = zip_source_buffer_create(copy, original.size(), 1, &zerr);
  if (!src) std::free(copy);
  zip_t* za = src ? zip_open_from_source(src, 0, &zerr) : nullptr;
  if (!za) {
    if (src) zip_source_free(src);
    error = std::string("the package cannot be reopened (") + zip_error_strerror(&zerr) + ")";
    zip_error_fini(&zerr);
    return false;
  }
  zip_source_keep(src);
  bool ok = ApplyEdits(za, edits);
  if (ok && zip_close(za) == 0) {
    ok = ReadZipSource(src, out);
    if (!ok) error = "the package cannot be read back";
  } else {
    error = std::string("the package cannot be built (") + zip_strerror(za) + ")";
    zip_discard(za);
    ok = false;
  }
  zip_source_free(src);
  return ok;
}

}  // namespace ploxen
