#pragma once

#include <cstddef>

namespace nuv::bench {

// Bytes the allocator has handed out and not taken back (heap and mapped blocks). The memory
// figure is the difference across the build, measured, not added up from sizeof.
std::size_t AllocatedBytes();

} // namespace nuv::bench
