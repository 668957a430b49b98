#include "gamefiles/error.h"
#include "gamefiles/temp_rewrite.h"

#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#else
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace hv::test {
namespace {

namespace fs = std::filesystem;

// A test that replaces a system call leaves the real ones behind.
class TempRewriteTest : public ::testing::Test {
protected:
    void TearDown() override { resetRewriteSyscalls(); }

    TempDir dir;
    fs::path target = dir.path() / "yourfed.hv1";
    const std::string original = crlf({"Old Line", "caf\xe9", " 3 "});
};

TEST_F(TempRewriteTest, KeepsBytesAndPermissions) {
    writeFile(target, original);
#ifndef _WIN32
    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(target, perms);
#endif
    TempRewrite(target, "yourfed.tmp", original);
    EXPECT_EQ(readFile(target), original);
#ifndef _WIN32
    EXPECT_EQ(fs::status(target).permissions(), perms);
#endif
}

TEST_F(TempRewriteTest, PiecesLargeAndSmallAreWrittenInOrderDespiteShortWrites) {
    writeFile(target, original);
#ifdef _WIN32
    rewriteSyscalls().write = [](void* file, const void* buf, unsigned long count,
                                 unsigned long* written) {
        return ::WriteFile(file, buf, std::min(count, 7ul), written, nullptr);
    };
#else
    rewriteSyscalls().write = [](int fd, const void* buf, size_t count) {
        return ::write(fd, buf, std::min<size_t>(count, 7));
    };
#endif
    const std::string big(70001, 'x'), small = "line\r\n";
    const std::string_view pieces[] = {small, big, small, big, small, big};
    TempRewrite(target, "yourfed.tmp", pieces);
    EXPECT_EQ(readFile(target), small + big + small + big + small + big);
}

#ifndef _WIN32
// Untouched runs of the file as read are copied inside the kernel; where that cannot be done,
// or stops part way, the rest comes from the bytes as read, and a real failure fails the write.
TEST_F(TempRewriteTest, RunsOfTheSourceAreCopiedInTheKernelOrWrittenWhereTheyCannotBe) {
    struct Case {
        int error;    // what the kernel copy fails with after its first call (0: never)
        bool written; // whether the rewrite succeeds
    };
    static int failWith = 0;
    static int calls = 0;
    for (const Case c : {Case{0, true}, Case{EXDEV, true}, Case{ENOSYS, true},
                         Case{EOPNOTSUPP, true}, Case{EINVAL, true}, Case{ENOSPC, false}}) {
        SCOPED_TRACE(c.error);
        std::string source;
        for (int i = 0; source.size() < 300000; ++i)
            source += "Wrestler " + std::to_string(i) + "\r\n";
        writeFile(target, source);
        failWith = c.error;
        calls = 0;
        // Short copies, so that a failure lands part way through a run.
        rewriteSyscalls().copyRange = [](int in, off_t* offset, int out, size_t count) {
            if (calls++ > 0 && failWith != 0) {
                errno = failWith;
                return ssize_t(-1);
            }
            return ::copy_file_range(in, offset, out, nullptr, std::min<size_t>(count, 50000), 0);
        };
        const FileBytes read(target);
        const std::string_view all = read.view();
        const std::vector<std::string_view> pieces = {all.substr(0, 100000), "NEW\r\n",
                                                      all.substr(100000)};
        const std::string expected = source.substr(0, 100000) + "NEW\r\n" + source.substr(100000);
        if (c.written) {
            TempRewrite(target, "yourfed.tmp", pieces, &read);
            EXPECT_EQ(readFile(target), expected);
        } else {
            EXPECT_THROW(TempRewrite(target, "yourfed.tmp", pieces, &read), GameFileError);
            EXPECT_EQ(readFile(target), source);
        }
        EXPECT_GE(calls, 1);
        EXPECT_EQ(snapshot(dir.path()).size(), 1u); // no temporary file left
        resetRewriteSyscalls();
    }
}
#endif

#ifndef _WIN32 // links need privileges on Windows, and the game's folders hold none
// (A folder or a link where the target should be are rows of the bad-input catalogue.)
TEST_F(TempRewriteTest, ALinkAtTheTemporaryNameIsRemovedNotFollowed) {
    writeFile(target, original);
    const fs::path victim = dir.path() / "victim.txt";
    writeFile(victim, "precious");
    fs::create_symlink(victim, dir.path() / "yourfed.tmp");
    TempRewrite(target, "yourfed.tmp", "new\r\n");
    EXPECT_EQ(readFile(victim), "precious");
    EXPECT_EQ(readFile(target), "new\r\n");
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir.path() / "yourfed.tmp")));
}
#endif

#ifdef _WIN32
// Windows refuses to replace a file another program holds open, as the game may for a moment.
HANDLE held = INVALID_HANDLE_VALUE;
int pauses = 0;
int releaseAfter = 0;

TEST_F(TempRewriteTest, AFileHeldByTheGameIsReplacedOnceReleasedOrLeftAsItWas) {
    rewriteSyscalls().pause = [](unsigned long) {
        if (++pauses == releaseAfter && held != INVALID_HANDLE_VALUE) {
            ::CloseHandle(held);
            held = INVALID_HANDLE_VALUE;
        }
    };
    for (int release : {3, 0}) { // released after three pauses; never released
        SCOPED_TRACE(release);
        writeFile(target, original);
        const auto before = snapshot(dir.path());
        held = ::CreateFileW(target.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        pauses = 0;
        releaseAfter = release;
        if (release > 0) {
            TempRewrite(target, "yourfed.tmp", "new\r\n");
            EXPECT_EQ(pauses, release);
            EXPECT_EQ(readFile(target), "new\r\n");
            EXPECT_EQ(snapshot(dir.path()).size(), 1u);
            continue;
        }
        EXPECT_THROW(TempRewrite(target, "yourfed.tmp", "new\r\n"), GameFileError);
        EXPECT_GT(pauses, 5); // tried for a while, and gave up
        ::CloseHandle(held);
        held = INVALID_HANDLE_VALUE;
        EXPECT_EQ(snapshot(dir.path()), before);
    }
}
#endif

#ifndef _WIN32
// A real file-size limit in a child process: the disk "fills up" while writing.
TEST_F(TempRewriteTest, FileSizeLimitInAChildLeavesTargetUnchanged) {
    writeFile(target, original);
    const auto before = snapshot(dir.path());
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{1000, 1000};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        try {
            TempRewrite(target, "yourfed.tmp", std::string(100000, 'n'));
        } catch (const GameFileError&) {
            ::_exit(0);
        }
        ::_exit(1);
    }
    int status = 0;
    ::waitpid(pid, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "the rewrite did not report the failure";
    EXPECT_EQ(snapshot(dir.path()), before);
}
#endif

} // namespace
} // namespace hv::test
