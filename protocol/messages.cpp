#include "protocol/messages.h"

#include <limits>

namespace nuv::protocol {
namespace {

class Writer {
public:
    Writer() { out_.resize(kFrameHeaderBytes); }
    void U8(std::uint8_t value) { out_ += static_cast<char>(value); }
    void U32(std::uint32_t value) {
        for (int shift = 0; shift < 32; shift += 8)
            out_ += static_cast<char>((value >> shift) & 0xFF);
    }
    void Text(std::string_view text) {
        U32(static_cast<std::uint32_t>(text.size()));
        out_.append(text);
    }
    std::string Finish() {
        const auto bodyLength = static_cast<std::uint32_t>(out_.size() - kFrameHeaderBytes);
        for (std::size_t i = 0; i < kFrameHeaderBytes; ++i)
            out_[i] = static_cast<char>((bodyLength >> (8 * i)) & 0xFF);
        return std::move(out_);
    }

private:
    std::string out_;
};

class Reader {
public:
    explicit Reader(std::string_view in) : in_(in) {}
    bool U8(std::uint8_t& value) {
        if (in_.empty()) return false;
        value = static_cast<std::uint8_t>(in_[0]);
        in_.remove_prefix(1);
        return true;
    }
    bool U32(std::uint32_t& value) {
        if (in_.size() < 4) return false;
        value = 0;
        for (int i = 0; i < 4; ++i)
            value |= static_cast<std::uint32_t>(static_cast<unsigned char>(in_[i])) << (8 * i);
        in_.remove_prefix(4);
        return true;
    }
    bool Text(std::string& text) {
        std::uint32_t length = 0;
        if (!U32(length) || length > in_.size()) return false;
        text.assign(in_.substr(0, length));
        in_.remove_prefix(length);
        return true;
    }
    bool AtEnd() const { return in_.empty(); }

private:
    std::string_view in_;
};

template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

template <class T> std::optional<T> Finished(Reader& reader, T value) {
    if (!reader.AtEnd()) return std::nullopt;
    return value;
}

std::optional<Request> DecodeRequestBody(Reader& reader, MessageType type) {
    switch (type) {
    case MessageType::Search: {
        SearchRequest search;
        if (!reader.Text(search.query) || !reader.U32(search.firstRows) || search.firstRows > kMaxRowsPerPage)
            return std::nullopt;
        return Finished<Request>(reader, std::move(search));
    }
    case MessageType::Rows: {
        RowsRequest rows;
        if (!reader.U32(rows.first) || !reader.U32(rows.count) || rows.count > kMaxRowsPerPage)
            return std::nullopt;
        return Finished<Request>(reader, rows);
    }
    case MessageType::Reset: return Finished<Request>(reader, ResetRequest{});
    default: return std::nullopt;
    }
}

bool DecodeRow(Reader& reader, WireRow& row) {
    std::uint8_t isFolder = 0;
    if (!reader.U8(isFolder) || isFolder > 1) return false;
    row.isFolder = isFolder == 1;
    return reader.Text(row.name) && reader.Text(row.folder);
}

bool DecodeRows(Reader& reader, std::vector<WireRow>& rows) {
    std::uint32_t rowCount = 0;
    if (!reader.U32(rowCount) || rowCount > kMaxRowsPerPage) return false;
    rows.resize(rowCount);
    for (WireRow& row : rows)
        if (!DecodeRow(reader, row)) return false;
    return true;
}

void EncodeRows(Writer& writer, const std::vector<WireRow>& rows) {
    writer.U32(static_cast<std::uint32_t>(rows.size()));
    for (const WireRow& row : rows) {
        writer.U8(row.isFolder ? 1 : 0);
        writer.Text(row.name);
        writer.Text(row.folder);
    }
}

std::optional<Reply> DecodeRowPage(Reader& reader) {
    RowPageReply page;
    if (!reader.U32(page.first) || !DecodeRows(reader, page.rows)) return std::nullopt;
    // first + the row count must stay a valid index range.
    if (page.rows.size() > std::numeric_limits<std::uint32_t>::max() - page.first) return std::nullopt;
    return Finished<Reply>(reader, std::move(page));
}

std::optional<Reply> DecodeSearchResult(Reader& reader) {
    SearchResultReply result;
    if (!reader.U32(result.count) || !DecodeRows(reader, result.firstRows) ||
        result.firstRows.size() > result.count)
        return std::nullopt;
    return Finished<Reply>(reader, std::move(result));
}

} // namespace

bool IsReplyTo(const Request& request, const Reply& reply) {
    if (std::holds_alternative<SearchRequest>(request))
        return std::holds_alternative<SearchResultReply>(reply);
    if (std::holds_alternative<RowsRequest>(request)) return std::holds_alternative<RowPageReply>(reply);
    return std::holds_alternative<CountReply>(reply);
}

std::string EncodeRequest(const Request& request) {
    Writer writer;
    std::visit(Overloaded{
                   [&](const SearchRequest& search) {
                       writer.U8(static_cast<std::uint8_t>(MessageType::Search));
                       writer.Text(search.query);
                       writer.U32(search.firstRows);
                   },
                   [&](const RowsRequest& rows) {
                       writer.U8(static_cast<std::uint8_t>(MessageType::Rows));
                       writer.U32(rows.first);
                       writer.U32(rows.count);
                   },
                   [&](const ResetRequest&) { writer.U8(static_cast<std::uint8_t>(MessageType::Reset)); },
               },
               request);
    return writer.Finish();
}

std::string EncodeReply(const Reply& reply) {
    Writer writer;
    std::visit(Overloaded{
                   [&](const CountReply& count) {
                       writer.U8(static_cast<std::uint8_t>(MessageType::Count));
                       writer.U32(count.count);
                   },
                   [&](const RowPageReply& page) {
                       writer.U8(static_cast<std::uint8_t>(MessageType::RowPage));
                       writer.U32(page.first);
                       EncodeRows(writer, page.rows);
                   },
                   [&](const SearchResultReply& result) {
                       writer.U8(static_cast<std::uint8_t>(MessageType::SearchResult));
                       writer.U32(result.count);
                       EncodeRows(writer, result.firstRows);
                   },
               },
               reply);
    return writer.Finish();
}

std::optional<std::uint32_t> DecodeFrameLength(std::string_view header, std::uint32_t limit) {
    Reader reader(header);
    std::uint32_t length = 0;
    if (header.size() != kFrameHeaderBytes || !reader.U32(length) || length > limit) return std::nullopt;
    return length;
}

std::optional<Request> DecodeRequest(std::string_view body) {
    Reader reader(body);
    std::uint8_t type = 0;
    if (!reader.U8(type)) return std::nullopt;
    return DecodeRequestBody(reader, static_cast<MessageType>(type));
}

std::optional<Reply> DecodeReply(std::string_view body) {
    Reader reader(body);
    std::uint8_t type = 0;
    if (!reader.U8(type)) return std::nullopt;
    switch (static_cast<MessageType>(type)) {
    case MessageType::Count: {
        CountReply count;
        if (!reader.U32(count.count)) return std::nullopt;
        return Finished<Reply>(reader, count);
    }
    case MessageType::RowPage: return DecodeRowPage(reader);
    case MessageType::SearchResult: return DecodeSearchResult(reader);
    default: return std::nullopt;
    }
}

} // namespace nuv::protocol
