#include "request_handler.h"

#include <algorithm>
#include <limits>

namespace nuv::service {
namespace {

constexpr std::size_t kRowOverheadBytes = 9; // folder flag and two string lengths
constexpr std::size_t kPageOverheadBytes = 9;

std::uint32_t ClampCount(std::size_t count) {
    return static_cast<std::uint32_t>(
        std::min<std::size_t>(count, std::numeric_limits<std::uint32_t>::max()));
}

} // namespace

protocol::Reply RequestHandler::Handle(const protocol::Request& request) {
    if (const auto* search = std::get_if<protocol::SearchRequest>(&request)) {
        const std::uint32_t count = ClampCount(search_.Run(search->query));
        return protocol::SearchResultReply{count, RowsFrom(0, std::min(search->firstRows, count))};
    }
    if (const auto* rows = std::get_if<protocol::RowsRequest>(&request))
        return protocol::RowPageReply{rows->first, RowsFrom(rows->first, rows->count)};
    search_.Reset();
    return protocol::CountReply{0};
}

std::vector<protocol::WireRow> RequestHandler::RowsFrom(std::uint32_t first, std::uint32_t count) const {
    std::vector<protocol::WireRow> rows;
    std::size_t replyBytes = kPageOverheadBytes;
    engine::Row row;
    for (std::uint32_t i = 0; i < count && search_.GetRow(std::size_t(first) + i, row); ++i) {
        replyBytes += kRowOverheadBytes + row.name.size() + row.folder.size();
        // Real paths (at most 32767 UTF-16 units) cannot fill a page past the
        // limit; this only keeps a reply one the client would accept.
        if (replyBytes > protocol::kMaxReplyBytes && !rows.empty()) break;
        rows.push_back({std::string(row.name), std::string(row.folder), row.isFolder});
    }
    return rows;
}

} // namespace nuv::service
