#include "search_client.h"

#include "protocol/wtf8.h"

namespace nuv::client {
namespace {

// Connecting to a service that is there takes well under a millisecond; the
// wait only matters when all pipe instances are busy for a moment.
constexpr DWORD kConnectTimeoutMs = 500;
// Long enough for any query over tens of millions of names, short enough that
// a stuck service does not freeze the caller's window for long.
constexpr DWORD kReplyTimeoutMs = 2000;

std::wstring ToWide(std::string_view wtf8) {
    const std::u16string utf16 = protocol::Wtf8ToUtf16(wtf8);
    return std::wstring(utf16.begin(), utf16.end());
}

std::vector<ResultRow> ToResultRows(const std::vector<protocol::WireRow>& rows) {
    std::vector<ResultRow> converted;
    converted.reserve(rows.size());
    for (const protocol::WireRow& row : rows)
        converted.push_back({ToWide(row.name), ToWide(row.folder), row.isFolder});
    return converted;
}

std::string ToWtf8(const std::wstring& text) {
    return protocol::Utf16ToWtf8(std::u16string(text.begin(), text.end()));
}

} // namespace

SearchClient::SearchClient(std::wstring pipeName) : pipeName_(std::move(pipeName)) {}

bool SearchClient::Query() {
    DropResults();
    const protocol::SearchRequest request{ToWtf8(searchText_), kPageRows};
    const bool hadConnection = connection_.Connected();
    auto reply = Exchange(request);
    // A connection that broke since the last call most often means the
    // service was restarted; one fresh attempt reaches the new one at once.
    if (!reply && hadConnection && !connection_.TimedOut()) reply = Exchange(request);
    const auto* result = reply ? std::get_if<protocol::SearchResultReply>(&*reply) : nullptr;
    if (result == nullptr) return false;
    count_ = result->count;
    resultsOnConnection_ = true;
    if (!result->firstRows.empty()) pages_[0] = ToResultRows(result->firstRows);
    return true;
}

const ResultRow* SearchClient::Row(std::uint32_t index) {
    if (index >= count_) return nullptr;
    const std::vector<ResultRow>* page = Page(index / kPageRows);
    const std::size_t offset = index % kPageRows;
    return page != nullptr && offset < page->size() ? &(*page)[offset] : nullptr;
}

void SearchClient::Reset() {
    DropResults();
    searchText_.clear();
    if (connection_.Connected()) Exchange(protocol::ResetRequest{});
}

std::optional<protocol::Reply> SearchClient::Exchange(const protocol::Request& request) {
    if (!connection_.Connected() && !connection_.Connect(pipeName_, kConnectTimeoutMs)) return std::nullopt;
    auto reply = connection_.Exchange(request, kReplyTimeoutMs);
    // A reply of the wrong kind means the stream is out of step.
    if (reply && !protocol::IsReplyTo(request, *reply)) {
        connection_.Close();
        reply.reset();
    }
    if (!connection_.Connected()) resultsOnConnection_ = false;
    return reply;
}

const std::vector<ResultRow>* SearchClient::Page(std::uint32_t page) {
    if (const auto cached = pages_.find(page); cached != pages_.end()) return &cached->second;
    if (!resultsOnConnection_) return nullptr;
    const auto reply = Exchange(protocol::RowsRequest{page * kPageRows, kPageRows});
    const auto* rows = reply ? std::get_if<protocol::RowPageReply>(&*reply) : nullptr;
    if (rows == nullptr || rows->first != page * kPageRows) return nullptr;
    std::vector<ResultRow>& cached = pages_[page];
    cached = ToResultRows(rows->rows);
    return &cached;
}

void SearchClient::DropResults() {
    count_ = 0;
    resultsOnConnection_ = false;
    pages_.clear();
}

} // namespace nuv::client
