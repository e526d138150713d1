// What the service does with one client's bytes: each input is a stream of
// frames, decoded and answered as the service's session loop does, over a
// small catalog. Whatever is answered must be a reply the client accepts.
#include "protocol/messages.h"
#include "request_handler.h"

#include <cstdint>
#include <cstdlib>
#include <string_view>

namespace {

const nuv::engine::Catalog& SmallCatalog() {
    static const nuv::engine::Catalog* catalog = [] {
        auto* made = new nuv::engine::Catalog;
        nuv::engine::ScanBuilder scan("C:\\");
        const auto docs = scan.AddFolder(nuv::engine::ScanBuilder::kRootFolder, "docs");
        scan.AddFile(docs, "report.txt");
        scan.AddFile(docs, "\xE6\x8A\xA5\xE5\x91\x8A.docx");
        scan.AddFile(nuv::engine::ScanBuilder::kRootFolder, "readme.md");
        const auto deep = scan.AddFolder(docs, "deep");
        for (int i = 0; i < 200; ++i)
            scan.AddFile(deep, "item" + std::to_string(i));
        made->ReplaceRoot(std::move(scan));
        return made;
    }();
    return *catalog;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace nuv::protocol;
    std::string_view stream(reinterpret_cast<const char*>(data), size);
    nuv::service::RequestHandler handler(SmallCatalog());
    while (stream.size() >= kFrameHeaderBytes) {
        const auto length = DecodeFrameLength(stream.substr(0, kFrameHeaderBytes), kMaxRequestBytes);
        stream.remove_prefix(kFrameHeaderBytes);
        if (!length || *length > stream.size()) return 0;
        const auto request = DecodeRequest(stream.substr(0, *length));
        stream.remove_prefix(*length);
        if (!request) return 0;
        const std::string reply = EncodeReply(handler.Handle(*request));
        const auto replyLength =
            DecodeFrameLength(std::string_view(reply).substr(0, kFrameHeaderBytes), kMaxReplyBytes);
        if (!replyLength || !DecodeReply(std::string_view(reply).substr(kFrameHeaderBytes))) std::abort();
    }
    return 0;
}
