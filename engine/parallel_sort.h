#pragma once

#include <algorithm>
#include <thread>
#include <vector>

namespace nuv::engine {

// Sorts on two threads when the range is large enough to repay starting one (the machines we
// target have two cores, so a two-way split is all there is to win), then hands the items to
// `take` in order, merging the halves on the way: merging in place would need a buffer of half
// the items, and the caller keeps only part of each item anyway.
template <typename T, typename Less, typename Take>
void ParallelSortEach(std::vector<T>& items, Less less, Take take) {
    constexpr std::size_t kWorthASecondThread = 1 << 16;
    const bool split = items.size() >= kWorthASecondThread;
    const auto middle = split ? items.begin() + static_cast<std::ptrdiff_t>(items.size() / 2) : items.end();
    std::thread firstHalf;
    if (split)
        firstHalf = std::thread([&] { std::sort(items.begin(), middle, less); });
    else
        std::sort(items.begin(), middle, less);
    std::sort(middle, items.end(), less);
    if (split) firstHalf.join();
    auto a = items.begin(), b = middle;
    while (a != middle && b != items.end())
        take(less(*b, *a) ? *b++ : *a++);
    for (; a != middle; ++a)
        take(*a);
    for (; b != items.end(); ++b)
        take(*b);
}

} // namespace nuv::engine
