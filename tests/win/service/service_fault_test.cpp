// The service against a damaged index file, kills at any instant and hostile
// pipe traffic.
#include "NuvSearch.h"
#include "protocol/messages.h"
#include "service_fixture.h"
#include "session_pipe.h"
#include "unique_handle.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>

namespace nuv::test_support {
namespace {

constexpr DWORD kStartBoundMs = 20000;

std::string ReadBytes(const std::wstring& file) {
    std::ifstream in(std::filesystem::path(file), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::wstring& file, const std::string& bytes) {
    std::ofstream out(std::filesystem::path(file), std::ios::binary | std::ios::trunc);
    out << bytes;
}

bool Loadable(const std::wstring& file) {
    engine::Catalog catalog;
    return catalog.Load(Utf8(file), nullptr);
}

TEST(SearchServiceIndexFile, DamagedFileIsRebuiltNotTrusted) {
    ServiceFixture fixture;
    {
        StartedProcess service = fixture.StartReadyService();
        ASSERT_TRUE(WaitUntil([&] { return Loadable(fixture.IndexFile()); }, kStartBoundMs));
    }
    const std::string good = ReadBytes(fixture.IndexFile());
    ASSERT_GT(good.size(), 16u);
    std::string flipped = good;
    flipped[flipped.size() / 2] ^= 0x5A;
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"truncated", good.substr(0, good.size() / 2)},
        {"one byte flipped", flipped},
        {"foreign bytes", std::string(4096, '\x7F')},
        {"empty", ""},
        // A file from before the current layout: magic, version 1, its 72-byte header.
        {"older version", std::string("NUVINDEX\x01", 9) + std::string(63, '\0')},
    };
    for (const auto& c : cases) {
        WriteBytes(fixture.IndexFile(), c.bytes);
        StartedProcess service = fixture.StartReadyService();
        EXPECT_EQ(CountThroughLibrary(L"report"), 2u) << c.what;
        EXPECT_TRUE(WaitUntil([&] { return Loadable(fixture.IndexFile()); }, kStartBoundMs)) << c.what;
    }
}

// A root taken out of the ini is no longer walked or watched: what the index
// file held of it must not come back with the file.
TEST(SearchServiceIndexFile, IndexOfOtherRootsIsRebuiltNotLoaded) {
    ServiceFixture fixture;
    {
        StartedProcess service = fixture.StartReadyService();
        ASSERT_TRUE(WaitUntil([&] { return Loadable(fixture.IndexFile()); }, kStartBoundMs));
    }
    const std::wstring otherRoot = fixture.Scratch() + L"\\other";
    ASSERT_TRUE(CreateEntry(otherRoot, true));
    ASSERT_TRUE(CreateEntry(otherRoot + L"\\only-in-other.txt", false));
    WriteServiceSettings(fixture.ServiceFolder(), "[index]\r\nroots=" + Utf8(otherRoot) +
                                                      "\r\nindex=" + Utf8(fixture.IndexFile()) + "\r\n");
    StartedProcess service = fixture.StartService();
    ASSERT_TRUE(WaitUntil([] { return CountThroughLibrary(L"only-in-other") == 1; }, kStartBoundMs));
    EXPECT_EQ(CountThroughLibrary(L"report"), 0u);
}

TEST(SearchServiceIndexFile, KillAtAnyInstantLeavesALoadableFile) {
    ServiceFixture fixture;
    // Kill points spread over start-up, the walk and the first save.
    for (DWORD delayMs = 0; delayMs <= 300; delayMs += 30) {
        StartedProcess service = fixture.StartService();
        Sleep(delayMs);
        service.Kill();
        const bool exists = GetFileAttributesW(fixture.IndexFile().c_str()) != INVALID_FILE_ATTRIBUTES;
        EXPECT_TRUE(!exists || Loadable(fixture.IndexFile())) << "killed after " << delayMs << " ms";
    }
}

class RawPipe {
public:
    RawPipe() {
        const std::wstring name = session::ServicePipeName();
        // The service makes its next pipe instance just after each connection.
        WaitUntil(
            [&] {
                pipe_ = session::UniqueHandle(CreateFileW(name.c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                                                          nullptr, OPEN_EXISTING, 0, nullptr));
                if (!pipe_.Valid() && GetLastError() == ERROR_PIPE_BUSY) WaitNamedPipeW(name.c_str(), 1000);
                return pipe_.Valid();
            },
            5000);
    }
    bool Connected() const { return pipe_.Valid(); }
    bool Send(const std::string& bytes) {
        DWORD written = 0;
        return WriteFile(pipe_.Get(), bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
               written == bytes.size();
    }
    // True when the service closed its end: a read then fails instead of blocking.
    bool ClosedByService() {
        char byte;
        DWORD read = 0;
        return !ReadFile(pipe_.Get(), &byte, 1, &read, nullptr);
    }

private:
    session::UniqueHandle pipe_;
};

std::string Frame(std::uint32_t announcedLength, const std::string& body) {
    std::string frame(4, '\0');
    for (int i = 0; i < 4; ++i)
        frame[i] = char((announcedLength >> (8 * i)) & 0xFF);
    return frame + body;
}

TEST(SearchServicePipe, MalformedOrOversizedMessageClosesOnlyThatConnection) {
    ServiceFixture fixture;
    StartedProcess service = fixture.StartReadyService();
    SecondClient bystander;
    ASSERT_EQ(bystander.Query(L"item-"), 150u);
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"oversized", Frame(protocol::kMaxRequestBytes + 1, "")},
        {"huge", Frame(0xFFFFFFF0u, "x")},
        {"unknown type", Frame(1, "\x7E")},
        {"reply type", Frame(5, std::string("\x81\0\0\0\0", 5))},
        {"string past the end", Frame(5, std::string("\x01\xFF\0\0\0", 5))},
        {"too many rows", Frame(9, std::string("\x02\0\0\0\0\xFF\0\0\0", 9))},
    };
    for (const auto& c : cases) {
        RawPipe pipe;
        ASSERT_TRUE(pipe.Connected()) << c.what;
        ASSERT_TRUE(pipe.Send(c.bytes)) << c.what;
        EXPECT_TRUE(pipe.ClosedByService()) << c.what;
    }
    EXPECT_EQ(bystander.NameAt(149), L"item-1149.dat");
    EXPECT_EQ(bystander.Query(L"report"), 2u);
    EXPECT_EQ(CountThroughLibrary(L"txt"), 4u);
}

TEST(SearchServicePipe, RandomTrafficNeverHarmsTheService) {
    ServiceFixture fixture;
    StartedProcess service = fixture.StartReadyService();
    std::mt19937 random(20261209); // fixed, so a failure can be replayed
    const auto randomBytes = [&](std::size_t size) {
        std::string bytes(size, '\0');
        for (char& byte : bytes)
            byte = char(random() & 0xFF);
        return bytes;
    };
    for (int round = 0; round < 300; ++round) {
        RawPipe pipe;
        ASSERT_TRUE(pipe.Connected()) << "round " << round;
        std::string body = randomBytes(random() % 40);
        // Mostly well-framed bodies, so the decoder rather than the framing is hit.
        if (!body.empty() && round % 2 == 0) body[0] = char(1 + random() % 3);
        const std::uint32_t length = round % 5 == 0 ? std::uint32_t(random()) : std::uint32_t(body.size());
        pipe.Send(Frame(length, body));
        if (round % 50 == 49) {
            ASSERT_EQ(CountThroughLibrary(L"report"), 2u) << "round " << round;
        }
    }
    EXPECT_TRUE(service.Running());
    EXPECT_EQ(CountThroughLibrary(L"item-"), 150u);
}

} // namespace
} // namespace nuv::test_support
