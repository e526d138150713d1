#pragma once

#include <algorithm>
#include <thread>
#include <vector>

namespace nuv::engine {

// Sorts on two threads when the range is large enough to repay starting one; the machines we
// target have two cores, so a two-way split is all there is to win.
template <typename T, typename Less> void ParallelSort(std::vector<T>& items, Less less) {
    constexpr std::size_t kWorthASecondThread = 1 << 16;
    if (items.size() < kWorthASecondThread) {
        std::sort(items.begin(), items.end(), less);
        return;
    }
    const auto middle = items.begin() + static_cast<std::ptrdiff_t>(items.size() / 2);
    std::thread firstHalf([&] { std::sort(items.begin(), middle, less); });
    std::sort(middle, items.end(), less);
    firstHalf.join();
    std::inplace_merge(items.begin(), middle, items.end(), less);
}

} // namespace nuv::engine
