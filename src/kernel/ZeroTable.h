// A fixed-capacity table whose elements start at zero without being written at construction:
// the memory comes zeroed from the system, so only the pages a run touches cost anything.
#pragma once

#include <cstddef>
#include <cstdlib>
#include <memory>
#include <new>
#include <type_traits>

namespace ploxen {

/// `n` elements of an arithmetic type, all zero at first (calloc: fresh pages, no fill pass).
template <typename T>
class ZeroTable {
  static_assert(std::is_arithmetic_v<T>, "all-zero bytes must read as the value 0");

 public:
  explicit ZeroTable(size_t n) : data_(static_cast<T*>(std::calloc(n, sizeof(T)))), size_(n) {
    if (n > 0 && !data_) throw std::bad_alloc();
  }

  T& operator[](size_t i) { return data_.get()[i]; }
  const T& operator[](size_t i) const { return data_.get()[i]; }
  T* data() { return data_.get(); }
  const T* data() const { return data_.get(); }
  T* begin() { return data_.get(); }
  T* end() { return data_.get() + size_; }
  size_t size() const { return size_; }

 private:
  struct Free {
    void operator()(T* p) const { std::free(p); }
  };
  std::unique_ptr<T, Free> data_;
  size_t size_;
};

}  // namespace ploxen
