// vidlatch-cli running out of memory part-way: what was finished must still
// reach the output, and the run must end with a clear message, not abort.
// Runs the tool in-process with an allocator that refuses large blocks.
#include "RunCli.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <unistd.h>

namespace {
std::atomic<std::size_t> refuseFrom{0};  // 0: every size is granted
}

void* operator new(std::size_t size)
{
    const std::size_t limit = refuseFrom.load();
    if (limit != 0 && size >= limit)
        throw std::bad_alloc();
    if (void* block = std::malloc(size ? size : 1))
        return block;
    throw std::bad_alloc();
}
// The nothrow form too: left to the runtime (or a sanitizer's), its blocks
// would come back through the delete below, which is not theirs.
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    try {
        return ::operator new(size);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }

namespace {

std::string ReadAll(std::FILE* file)
{
    std::rewind(file);
    std::string text;
    char chunk[4096];
    while (const std::size_t got = std::fread(chunk, 1, sizeof chunk, file))
        text.append(chunk, got);
    return text;
}

TEST(CliOutOfMemory, EndsWithAMessageAfterWritingWhatWasDone)
{
    const std::string page = "http://v.vidsite.example/page/W/f/t/a1b2c3d4e5f.html";
    const std::string player = "http://static.vidsite.example/v1/res/vidplayer.swf?f=3&vid=a1b2c3d4e5f";
    // Within the line-length limit, but not ASCII: its UTF-16 copy needs a
    // block the allocator refuses.
    std::string wide;
    for (int i = 0; i < 500'000; ++i)
        wide += "\u00E9";
    const std::string input = page + "\n" + page + "\n" + wide + "\n" + page + "\n";

    for (const bool json : {false, true}) {
        std::FILE* in = std::tmpfile();
        std::FILE* out = std::tmpfile();
        std::FILE* err = std::tmpfile();
        ASSERT_TRUE(in && out && err);
        std::fwrite(input.data(), 1, input.size(), in);
        std::fflush(in);
        ::lseek(::fileno(in), 0, SEEK_SET);

        const char* argv[] = {"vidlatch-cli", "convert", json ? "--json" : "--", nullptr};
        refuseFrom = std::size_t{3} << 19;  // 1.5 MiB
        const int status = vidlatch::cli::RunCli(3, argv, ::fileno(in), out, err);
        refuseFrom = 0;

        EXPECT_EQ(status, 3) << json;
        const std::string written = ReadAll(out);
        if (json) {
            EXPECT_EQ(std::count(written.begin(), written.end(), '\n'), 2) << written;
            EXPECT_EQ(written.rfind("{\"input\":", 0), 0u) << written;
        } else {
            EXPECT_EQ(written, player + "\n" + player + "\n");
        }
        EXPECT_NE(ReadAll(err).find("out of memory at line 3"), std::string::npos) << json;
        std::fclose(in);
        std::fclose(out);
        std::fclose(err);
    }
}

} // namespace
