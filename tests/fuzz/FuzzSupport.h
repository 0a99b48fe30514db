// Helpers shared by the fuzz targets: a private scratch folder, files written from fuzz input,
// and a stored zip package built from named parts.
#pragma once

#include <unistd.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace ploxen::fuzz {

/// A folder of this process only, made on first use and kept for the whole run.
inline const std::string& ScratchFolder() {
  static const std::string folder = [] {
    std::string f = "/tmp/ploxen_fuzz_" + std::to_string(::getpid());
    std::filesystem::create_directories(f);
    return f;
  }();
  return folder;
}

/// Writes `bytes` to `name` in the scratch folder and returns the full path.
inline std::string WriteScratchFile(const std::string& name, std::string_view bytes) {
  std::string path = ScratchFolder() + "/" + name;
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
  }
  return path;
}

/// Stops the run when a property that must hold does not; libFuzzer keeps the input.
inline void Require(bool holds, const char* what) {
  if (holds) return;
  std::fprintf(stderr, "property violated: %s\n", what);
  std::abort();
}

/// One part of a package: its name and its bytes.
using Part = std::pair<std::string, std::string>;

/// Splits text of the form "--- name\nbody\n--- name\nbody..." into parts. Lets the fuzzer
/// mutate the XML of a workbook directly instead of its compressed bytes.
inline std::vector<Part> SplitParts(std::string_view text) {
  std::vector<Part> parts;
  constexpr std::string_view kMark = "--- ";
  std::size_t at = text.rfind(kMark, 0) == 0 ? 0 : text.find("\n--- ");
  if (at != 0 && at != std::string_view::npos) ++at;
  while (at != std::string_view::npos && at < text.size()) {
    const std::size_t nameEnd = text.find('\n', at);
    if (nameEnd == std::string_view::npos) break;
    std::string name(text.substr(at + kMark.size(), nameEnd - at - kMark.size()));
    std::size_t next = text.find("\n--- ", nameEnd);
    const std::size_t bodyEnd = next == std::string_view::npos ? text.size() : next;
    parts.emplace_back(std::move(name), std::string(text.substr(nameEnd + 1, bodyEnd - nameEnd - 1)));
    at = next == std::string_view::npos ? next : next + 1;
  }
  return parts;
}

/// A zip archive holding `parts` uncompressed ("stored"), with valid checksums.
inline std::string PackStored(const std::vector<Part>& parts) {
  auto put16 = [](std::string& s, unsigned v) {
    s += static_cast<char>(v & 0xff);
    s += static_cast<char>((v >> 8) & 0xff);
  };
  auto put32 = [&](std::string& s, std::uint32_t v) {
    put16(s, v & 0xffff);
    put16(s, v >> 16);
  };
  std::string out, central;
  for (const Part& part : parts) {
    const std::string& name = part.first;
    const std::string& body = part.second;
    const std::uint32_t crc = static_cast<std::uint32_t>(
        ::crc32(0, reinterpret_cast<const Bytef*>(body.data()), static_cast<uInt>(body.size())));
    const std::uint32_t offset = static_cast<std::uint32_t>(out.size());
    auto header = [&](std::string& s, bool isCentral) {
      put32(s, isCentral ? 0x02014b50 : 0x04034b50);
      if (isCentral) put16(s, 20);
      put16(s, 20);  // version needed
      put16(s, 0);   // flags
      put16(s, 0);   // stored
      put16(s, 0);   // time
      put16(s, 0x21);  // date 1980-01-01
      put32(s, crc);
      put32(s, static_cast<std::uint32_t>(body.size()));
      put32(s, static_cast<std::uint32_t>(body.size()));
      put16(s, static_cast<unsigned>(name.size()));
      put16(s, 0);  // extra
      if (isCentral) {
        put16(s, 0);  // comment
        put16(s, 0);  // disk
        put16(s, 0);  // internal attributes
        put32(s, 0);  // external attributes
        put32(s, offset);
      }
      s += name;
    };
    header(out, false);
    out += body;
    header(central, true);
  }
  const std::uint32_t centralAt = static_cast<std::uint32_t>(out.size());
  out += central;
  put32(out, 0x06054b50);
  put16(out, 0);
  put16(out, 0);
  put16(out, static_cast<unsigned>(parts.size()));
  put16(out, static_cast<unsigned>(parts.size()));
  put32(out, static_cast<std::uint32_t>(central.size()));
  put32(out, centralAt);
  put16(out, 0);
  return out;
}

}  // namespace ploxen::fuzz
