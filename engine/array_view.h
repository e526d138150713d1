#pragma once

#include <cstddef>
#include <vector>

namespace nuv::engine {

// A read-only run of values owned elsewhere: an index's arrays live either in vectors it built
// or in the bytes of the file it was loaded from, and its readers must not care which. As cheap
// to index as a vector: a pointer and a size, no bounds checks.
template <typename T> class ArrayView {
public:
    ArrayView() = default;
    ArrayView(const T* data, std::size_t size) : data_(data), size_(size) {}
    ArrayView(const std::vector<T>& values) : data_(values.data()), size_(values.size()) {}

    const T* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return size_ == 0; }
    const T& operator[](std::size_t i) const { return data_[i]; }
    const T& front() const { return data_[0]; }
    const T& back() const { return data_[size_ - 1]; }
    const T* begin() const { return data_; }
    const T* end() const { return data_ + size_; }

private:
    const T* data_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace nuv::engine
