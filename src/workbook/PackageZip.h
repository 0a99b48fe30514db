// A workbook package (zip) in memory: reading its parts, and copying it with some parts
// replaced, added or removed while every other part is carried over as it is stored.
#pragma once

#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

struct zip;
struct zip_source;

namespace ploxen {

/// Read access to the parts of a package held in memory.
class ZipPackage {
 public:
  ZipPackage() = default;
  ~ZipPackage();
  ZipPackage(const ZipPackage&) = delete;
  ZipPackage& operator=(const ZipPackage&) = delete;

  /// Opens `bytes`, which must outlive this object. False with a reason for a damaged archive
  /// or one that holds a part name twice (which part a reader takes is then undefined).
  bool Open(std::string_view bytes, std::string& error);
  const std::vector<std::string>& Parts() const { return parts_; }
  bool Has(std::string_view name) const;
  /// The unpacked content of a part; false when it is missing or cannot be unpacked.
  bool Read(std::string_view name, std::string& out) const;

 private:
  struct zip* za_ = nullptr;
  std::vector<std::string> parts_;
};

/// Reads the whole content of an in-memory zip source (an archive built into a buffer).
bool ReadZipSource(struct zip_source* src, std::string& bytes);

/// Parts to write (name -> content, replacing or adding) and parts to drop.
struct PackageEdits {
  std::map<std::string, std::string> put;
  std::set<std::string> remove;
  int level = 6;  ///< deflate level of the parts written (1 fastest ... 9 smallest)
  bool Empty() const { return put.empty() && remove.empty(); }
};

/// `original` with `edits` applied. Untouched parts keep their order, names and compressed
/// data; new parts are appended, deflated. False with a reason when the package cannot be built.
bool EditPackage(std::string_view original, const PackageEdits& edits, std::string& out,
                 std::string& error);

}  // namespace ploxen
