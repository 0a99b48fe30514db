// Thermodynamic database store: loading of ".tdb" files into columns and the column accessors.
#include "thermo/PXDatabase.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <exception>
#include <filesystem>
#include <fstream>

#include "support/AplMsg.h"
#include "support/TextCodec.h"

namespace ploxen {
namespace {

/// True for the characters a field is trimmed of: blanks and control characters.
bool IsTrimmed(char ch) {
  return static_cast<unsigned char>(ch) <= ' ';
}

}  // namespace

PXDatabase::PXDatabase(TAplMsgWnd& log) : log_(log) {
  InitDatabaseStore();
}

void PXDatabase::InitDatabaseStore(double gasConstant) {
  Clear();
  records_.reserve(3900);
  candidates_.reserve(256);
  state_ = 0;
  gasConstant_ = gasConstant;
}

void PXDatabase::FreeDatabaseStore() {
  Clear();
  records_.shrink_to_fit();
  text_.shrink_to_fit();
  candidates_.shrink_to_fit();
  state_ = 0;
}

void PXDatabase::Clear() {
  byName_.clear();
  candidatesByName_.clear();
  candidates_.clear();
  isCandidate_.clear();
  records_.clear();
  text_.clear();
  columnLengths_.fill(0);
}

double PXDatabase::FieldNumber(std::string_view text) {
  // The normalisations of the file format: "," is a decimal point, ".5" and "12." are numbers.
  if (text.empty()) return 0.0;
  std::string normal(text);
  std::replace(normal.begin(), normal.end(), ',', '.');
  const char* first = normal.data();
  const char* last = first + normal.size();
  if (*first == '+') ++first;
  double value = 0.0;
  auto [end, ec] = std::from_chars(first, last, value);
  if (ec != std::errc() || end != last || !std::isfinite(value)) return 0.0;
  return value;
}

std::string PXDatabase::IrregularDatasetText(int r, std::string_view key) {
  return "Dataset " + std::to_string(r + 2) + ": (" + std::string(key) +
         ") is possibly irregular " + " (PXDatabase)";
}

std::string PXDatabase::IrregularColumnText(int column) {
  return "Filds data " + std::to_string(column) + " is possibly irregular ";
}

int PXDatabase::LoadDatabase(const std::string& path) {
  Clear();
  path_ = path;
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) {
    state_ = -1;
    return -1;
  }
  try {
    std::string raw;
    if (!ReadFile(path, raw)) return -2;
    ParseBuffer(raw);
    CheckColumns();
    IndexNames();
  } catch (const std::exception&) {
    // Out of memory on a pathological file: leave an empty store behind.
    Clear();
    return -2;
  }
  isCandidate_.assign(records_.size(), 0);
  state_ = 1;
  return RecordCount();
}

bool PXDatabase::ReadFile(const std::string& path, std::string& buffer) const {
  std::error_code ec;
  if (std::filesystem::is_directory(path, ec)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  in.seekg(0, std::ios::end);
  std::streamoff size = in.tellg();
  if (size < 0 || static_cast<std::size_t>(size) > kMaxFileBytes) return false;
  in.seekg(0, std::ios::beg);
  buffer.resize(static_cast<std::size_t>(size));
  if (size > 0 && !in.read(buffer.data(), size)) return false;
  return true;
}

void PXDatabase::ParseBuffer(const std::string& raw) {
  // Carriage returns are dropped wherever they stand; what remains is kept as one text, and
  // every field is a span of it.
  // A file that is not UTF-8 is read as Windows-1252, so "°" and "³" still match.
  text_ = DecodeFileText(raw);
  std::erase(text_, '\r');
  std::size_t lineStart = 0;
  const std::size_t textEnd = text_.size();
  while (lineStart < textEnd) {
    std::size_t lineEnd = text_.find('\n', lineStart);
    if (lineEnd == std::string::npos) break;  // a last line without line feed is not read
    if (lineEnd > lineStart)
      AddRecord(std::string_view(text_).substr(lineStart, lineEnd - lineStart));
    lineStart = lineEnd + 1;
  }
  // Column 0: the record number as decimal text, appended behind the file text.
  for (std::size_t r = 0; r < records_.size(); ++r) {
    std::string key = std::to_string(r);
    records_[r].fields[0] = {static_cast<std::uint32_t>(text_.size()),
                             static_cast<std::uint32_t>(key.size())};
    text_ += key;
  }
}

void PXDatabase::AddRecord(std::string_view line) {
  const int r = RecordCount();
  const std::size_t lineOffset = line.data() - text_.data();
  std::size_t tab = line.find('\t');
  std::size_t pos = tab == std::string_view::npos ? 0 : tab + 1;  // the free key column goes
  Record& record = records_.emplace_back();
  for (std::size_t& length : columnLengths_) ++length;
  for (int k = 1;; ++k) {
    if (k > kFieldCount) {
      log_.Post(kMsgCritical, 526, IrregularDatasetText(r, std::to_string(r)));
      break;
    }
    std::size_t end = line.find('\t', pos);
    std::size_t fieldEnd = end == std::string_view::npos ? line.size() : end;
    std::size_t first = pos, last = fieldEnd;
    while (first < last && IsTrimmed(line[first])) ++first;
    while (last > first && IsTrimmed(line[last - 1])) --last;
    std::string_view field = line.substr(first, last - first);
    record.fields[k] = {static_cast<std::uint32_t>(lineOffset + first),
                        static_cast<std::uint32_t>(field.size())};
    if (k >= kFirstNumeric && k <= kLastNumeric)
      record.numbers[k - kFirstNumeric] = FieldNumber(field);
    if (end == std::string_view::npos || end + 1 == line.size()) break;  // final TAB: no field
    pos = end + 1;
  }
}

void PXDatabase::CheckColumns() {
  for (int k = 1; k <= kFieldCount; ++k)
    if (columnLengths_[k] != records_.size()) log_.Post(kMsgError, 427, IrregularColumnText(k));
}

void PXDatabase::IndexNames() {
  for (int r = 0; r < RecordCount(); ++r) byName_[Field(r, kFieldName)].push_back(r);
}

std::string_view PXDatabase::Field(int record, int k) const {
  if (record < 0 || record >= RecordCount() || k < 0 || k > kFieldCount) return {};
  const Span& span = records_[record].fields[k];
  return std::string_view(text_).substr(span.offset, span.length);
}

double PXDatabase::Number(int record, int k) const {
  if (record < 0 || record >= RecordCount() || k < kFirstNumeric || k > kLastNumeric) return 0.0;
  return records_[record].numbers[k - kFirstNumeric];
}

}  // namespace ploxen
