// Helpers of the thermodynamic data tests: fixture paths and scratch files.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

#include "support/Platform.h"

namespace ploxen::thermotest {

/// Path of a fixture in tests/data/thermo.
inline std::string ThermoFixture(const std::string& name) {
  return std::string(PLOXEN_TEST_DATA_DIR) + "/thermo/" + name;
}

/// A file in the temporary folder with the given bytes, removed again at scope exit.
class ScratchFile {
 public:
  explicit ScratchFile(const std::string& bytes) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    path_ = (std::filesystem::temp_directory_path() /
             ("ploxen_thermo_" + std::to_string(::getpid()) + "_" + test->name() + "_" +
              std::to_string(counter_++) + ".tdb"))
                .string();
    std::ofstream out(path_, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }
  ~ScratchFile() {
    std::error_code ec;
    std::filesystem::remove(path_, ec);
  }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  const std::string& Path() const { return path_; }

 private:
  static inline int counter_ = 0;
  std::string path_;
};

/// A scratch program folder "<root>/bin" with "<root>/data" beside it, in force while it lives.
class ScratchProgramFolder {
 public:
  explicit ScratchProgramFolder(const std::string& prefix) {
    static int counter = 0;
    root_ = std::filesystem::temp_directory_path() /
            (prefix + std::to_string(::getpid()) + "_" + std::to_string(counter++));
    std::filesystem::create_directories(root_ / "bin");
    std::filesystem::create_directories(root_ / "data");
    old_ = ProgramFolder();
    SetProgramFolder(Bin());
  }
  ~ScratchProgramFolder() {
    SetProgramFolder(old_);
    std::error_code ec;
    std::filesystem::remove_all(root_, ec);
  }
  ScratchProgramFolder(const ScratchProgramFolder&) = delete;
  ScratchProgramFolder& operator=(const ScratchProgramFolder&) = delete;
  std::string Bin() const { return (root_ / "bin").string(); }
  /// Writes `text` to `relative` below the root.
  void Write(const std::string& relative, const std::string& text) const {
    std::ofstream(root_ / relative, std::ios::binary) << text;
  }

 private:
  std::filesystem::path root_;
  std::string old_;
};

/// The whole content of a file.
inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace ploxen::thermotest
