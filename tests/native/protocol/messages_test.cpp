#include "protocol/messages.h"

#include <gtest/gtest.h>

namespace nuv::protocol {
namespace {

std::string BodyOf(const std::string& frame) {
    return frame.substr(kFrameHeaderBytes);
}

TEST(Messages, RequestsSurviveTheRoundTrip) {
    const Request cases[] = {
        SearchRequest{"", 0},
        SearchRequest{"report \"q3 draft\" !tmp", 64},
        SearchRequest{std::string("nul\0inside", 10), kMaxRowsPerPage},
        RowsRequest{0, 64},
        RowsRequest{0xFFFFFF00u, kMaxRowsPerPage},
        ResetRequest{},
    };
    for (const Request& request : cases) {
        const std::string frame = EncodeRequest(request);
        ASSERT_EQ(DecodeFrameLength(frame.substr(0, kFrameHeaderBytes), kMaxRequestBytes),
                  frame.size() - kFrameHeaderBytes);
        EXPECT_EQ(DecodeRequest(BodyOf(frame)), request);
    }
}

TEST(Messages, RepliesSurviveTheRoundTrip) {
    const Reply cases[] = {
        CountReply{0},
        CountReply{0xFFFFFFFFu},
        RowPageReply{7, {}},
        SearchResultReply{0, {}},
        SearchResultReply{123456, {{"report.txt", "D:\\docs", false}}},
        RowPageReply{64,
                     {{"a.txt", "C:\\x", false},
                      {"docs", "C:", true},
                      {"\xED\xA0\x80odd", "D:\\\xE4\xB8\xAD", false}}},
    };
    for (const Reply& reply : cases)
        EXPECT_EQ(DecodeReply(BodyOf(EncodeReply(reply))), reply);
}

std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (int value : values)
        out += static_cast<char>(value);
    return out;
}

TEST(Messages, MalformedRequestsAreRefused) {
    const std::string cases[] = {
        "",                                           // no type
        Bytes({9}),                                   // unknown type
        Bytes({0x81, 0, 0, 0, 0}),                    // a reply sent as a request
        Bytes({1, 5, 0, 0, 0, 'a', 'b'}),             // string longer than the body
        Bytes({1, 0xFF, 0xFF, 0xFF, 0xFF}),           // string length past any body
        Bytes({1, 1, 0, 0, 0, 'a'}),                  // search without its first-row count
        Bytes({1, 1, 0, 0, 0, 'a', 0x81, 0, 0, 0}),   // first rows past one page
        Bytes({1, 1, 0, 0, 0, 'a', 0, 0, 0, 0, 'b'}), // stray byte after the search
        Bytes({2, 0, 0, 0, 0, 64, 0, 0}),             // truncated count
        Bytes({2, 0, 0, 0, 0, 0, 1, 0, 0}),           // more rows than one page holds
        Bytes({3, 0}),                                // reset carries nothing
    };
    for (const std::string& body : cases)
        EXPECT_FALSE(DecodeRequest(body).has_value()) << testing::PrintToString(body);
}

TEST(Messages, MalformedRepliesAreRefused) {
    const std::string cases[] = {
        "",
        Bytes({0x81, 1, 0, 0}),                                           // truncated count
        Bytes({0x81, 1, 0, 0, 0, 0}),                                     // stray byte
        Bytes({0x82, 0, 0, 0, 0, 1, 0, 0, 0}),                            // announces a row it lacks
        Bytes({0x82, 0, 0, 0, 0, 1, 0, 0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0}), // folder flag neither 0 nor 1
        Bytes({0x82, 0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), // index range wraps
        Bytes({0x82, 0, 0, 0, 0, 0xFF, 0xFF, 0, 0}),                      // more rows than one page holds
        Bytes({0x83, 0, 0, 0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}), // more first rows than results
    };
    for (const std::string& body : cases)
        EXPECT_FALSE(DecodeReply(body).has_value()) << testing::PrintToString(body);
}

TEST(Messages, EachRequestHasOneKindOfReply) {
    const Request requests[] = {SearchRequest{"a", 1}, RowsRequest{0, 1}, ResetRequest{}};
    const Reply replies[] = {SearchResultReply{}, RowPageReply{}, CountReply{}};
    for (std::size_t i = 0; i < std::size(requests); ++i)
        for (std::size_t j = 0; j < std::size(replies); ++j)
            EXPECT_EQ(IsReplyTo(requests[i], replies[j]), i == j) << i << " " << j;
}

TEST(Messages, FrameLengthsOverTheLimitAreRefused) {
    EXPECT_EQ(DecodeFrameLength(Bytes({0, 0, 1, 0}), kMaxRequestBytes), kMaxRequestBytes);
    EXPECT_FALSE(DecodeFrameLength(Bytes({1, 0, 1, 0}), kMaxRequestBytes).has_value());
    EXPECT_FALSE(DecodeFrameLength(Bytes({0xFF, 0xFF, 0xFF, 0xFF}), kMaxReplyBytes).has_value());
    EXPECT_FALSE(DecodeFrameLength(Bytes({1, 0, 0}), kMaxRequestBytes).has_value());
}

} // namespace
} // namespace nuv::protocol
