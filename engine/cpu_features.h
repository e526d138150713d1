#pragma once

namespace nuv::engine {

// Whether this processor, and the system saving its wide registers, can run AVX2 code.
bool CpuHasAvx2();

} // namespace nuv::engine
