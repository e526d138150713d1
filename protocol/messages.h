#pragma once
// The messages between the client library and the search service. Every
// message travels as a frame: a 4-byte little-endian body length, then the
// body, whose first byte names the message. Strings are a 4-byte length and
// that many WTF-8 bytes. The client sends one request and reads its reply
// before it sends the next, so no message carries an id.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace nuv::protocol {

constexpr std::size_t kFrameHeaderBytes = 4;
// A query is one line the user typed; anything larger is not from our client.
constexpr std::uint32_t kMaxRequestBytes = 64 * 1024;
// A page of rows whose paths are all near the 32767-character limit of the
// platform still fits.
constexpr std::uint32_t kMaxReplyBytes = 16 * 1024 * 1024;
constexpr std::uint32_t kMaxRowsPerPage = 128;

enum class MessageType : std::uint8_t {
    Search = 1, // run a query; the reply is a SearchResult
    Rows = 2,   // fetch rows of the current result set; the reply is a RowPage
    Reset = 3,  // drop the current result set; the reply is a Count of 0
    Count = 0x81,
    RowPage = 0x82,
    SearchResult = 0x83,
};

// The reply carries the first rows too, so that a keystroke costs one round
// trip: the list shows its first screenful without asking again.
struct SearchRequest {
    std::string query;
    std::uint32_t firstRows = 0; // at most kMaxRowsPerPage
    bool operator==(const SearchRequest&) const = default;
};
struct RowsRequest {
    std::uint32_t first = 0;
    std::uint32_t count = 0;
    bool operator==(const RowsRequest&) const = default;
};
struct ResetRequest {
    bool operator==(const ResetRequest&) const = default;
};
using Request = std::variant<SearchRequest, RowsRequest, ResetRequest>;

struct CountReply {
    std::uint32_t count = 0;
    bool operator==(const CountReply&) const = default;
};
struct WireRow {
    std::string name;
    std::string folder;
    bool isFolder = false;
    bool operator==(const WireRow&) const = default;
};
// Rows first, first + 1, ...; fewer than asked for when the set ends earlier.
struct RowPageReply {
    std::uint32_t first = 0;
    std::vector<WireRow> rows;
    bool operator==(const RowPageReply&) const = default;
};
// The count and rows 0, 1, ... up to the number asked for or the count.
struct SearchResultReply {
    std::uint32_t count = 0;
    std::vector<WireRow> firstRows;
    bool operator==(const SearchResultReply&) const = default;
};
using Reply = std::variant<CountReply, RowPageReply, SearchResultReply>;

// Whether reply is the kind of message that answers request.
bool IsReplyTo(const Request& request, const Reply& reply);

// Whole frames, header included.
std::string EncodeRequest(const Request& request);
std::string EncodeReply(const Reply& reply);

// The body length a frame header announces, or nothing when it exceeds limit.
std::optional<std::uint32_t> DecodeFrameLength(std::string_view header, std::uint32_t limit);

// Bodies without their header. Anything malformed, truncated, over a limit or
// followed by stray bytes yields nothing.
std::optional<Request> DecodeRequest(std::string_view body);
std::optional<Reply> DecodeReply(std::string_view body);

} // namespace nuv::protocol
