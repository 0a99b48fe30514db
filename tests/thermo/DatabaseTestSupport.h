// Helpers of the thermodynamic data tests: fixture paths and scratch files.
#pragma once

#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>
#include <unistd.h>

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

/// The whole content of a file.
inline std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace ploxen::thermotest
