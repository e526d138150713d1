// Feeds arbitrary bytes to both decoders; whatever decodes must encode back to
// the same body, so the decoders accept nothing the encoders cannot produce.
#include "protocol/messages.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace nuv::protocol;
    const std::string_view body(reinterpret_cast<const char*>(data), size);
    if (const auto request = DecodeRequest(body)) {
        if (EncodeRequest(*request).substr(kFrameHeaderBytes) != body) std::abort();
    }
    if (const auto reply = DecodeReply(body)) {
        if (EncodeReply(*reply).substr(kFrameHeaderBytes) != body) std::abort();
    }
    if (size >= kFrameHeaderBytes) DecodeFrameLength(body.substr(0, kFrameHeaderBytes), kMaxRequestBytes);
    return 0;
}
