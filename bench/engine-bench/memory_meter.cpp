#include "memory_meter.h"

#include <malloc.h>

namespace nuv::bench {

std::size_t AllocatedBytes() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

} // namespace nuv::bench
