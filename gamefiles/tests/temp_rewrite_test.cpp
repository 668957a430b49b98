#include "gamefiles/error.h"
#include "gamefiles/temp_rewrite.h"

#include "testsupport/test_support.h"

#include <cerrno>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace hv::test {
namespace {

namespace fs = std::filesystem;

// Each test starts and ends with the real system calls.
class TempRewriteTest : public ::testing::Test {
protected:
    void SetUp() override { resetRewriteSyscalls(); }
    void TearDown() override { resetRewriteSyscalls(); }

    TempDir dir;
    fs::path target = dir.path() / "yourfed.hv1";
    const std::string original = crlf({"Old Line", "caf\xe9", " 3 "});

    // Runs a rewrite that must fail, and checks that nothing but the target remains,
    // byte for byte as it was.
    void expectFailureLeavesTarget(const std::string& expectedWords) {
        writeFile(target, original);
        const auto before = snapshot(dir.path());
        try {
            TempRewrite(target, "yourfed.tmp", std::string(100000, 'n'));
            FAIL() << "rewrite should have failed";
        } catch (const GameFileError& e) {
            EXPECT_EQ(e.file(), target);
            EXPECT_NE(std::string(e.what()).find(expectedWords), std::string::npos) << e.what();
        }
        resetRewriteSyscalls();
        EXPECT_EQ(snapshot(dir.path()), before);
    }
};

int fail(int error) {
    errno = error;
    return -1;
}

std::size_t writtenSoFar = 0;
ssize_t writeThenFail(int fd, const void* buf, size_t count) {
    if (writtenSoFar >= 4096) {
        errno = ENOSPC;
        return -1;
    }
    // Short writes, to prove the loop copes with them.
    size_t n = std::min<size_t>(count, 1000);
    ssize_t done = ::write(fd, buf, n);
    writtenSoFar += static_cast<std::size_t>(done);
    return done;
}

TEST_F(TempRewriteTest, KeepsBytesAndPermissionsCreatesMissingFilesAndLeavesNoTemporary) {
    writeFile(target, original);
    const auto perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    fs::permissions(target, perms);
    TempRewrite(target, "yourfed.tmp", original);
    EXPECT_EQ(readFile(target), original);
    EXPECT_EQ(fs::status(target).permissions(), perms);

    const fs::path fresh = dir.path() / "options.dat";
    TempRewrite(fresh, "temp", "C:\\HV\r\n");
    EXPECT_EQ(readFile(fresh), "C:\\HV\r\n");
    EXPECT_EQ(snapshot(dir.path()).size(), 2u); // and no temporary file
}

TEST_F(TempRewriteTest, PiecesLargeAndSmallAreWrittenInOrderDespiteShortWrites) {
    writeFile(target, original);
    rewriteSyscalls().write = [](int fd, const void* buf, size_t count) {
        return ::write(fd, buf, std::min<size_t>(count, 7));
    };
    const std::string big(70001, 'x'), small = "line\r\n";
    std::vector<std::string_view> pieces;
    std::string expected;
    for (int i = 0; i < 3; ++i)
        for (std::string_view piece : {std::string_view(small), std::string_view(big)}) {
            pieces.push_back(piece);
            expected += piece;
        }
    TempRewrite(target, "yourfed.tmp", pieces);
    EXPECT_EQ(readFile(target), expected);
}

TEST_F(TempRewriteTest, LinksAreNeverWrittenThroughAndAFolderIsNoTarget) {
    // A link planted at the temporary name is removed, not followed.
    writeFile(target, original);
    const fs::path victim = dir.path() / "victim.txt";
    writeFile(victim, "precious");
    fs::create_symlink(victim, dir.path() / "yourfed.tmp");
    TempRewrite(target, "yourfed.tmp", "new\r\n");
    EXPECT_EQ(readFile(victim), "precious");
    EXPECT_EQ(readFile(target), "new\r\n");
    EXPECT_FALSE(fs::exists(fs::symlink_status(dir.path() / "yourfed.tmp")));

    // A linked target is replaced at its real place and stays a link.
    const fs::path real = dir.path() / "real" / "yourfed.hv1", link = dir.path() / "linked.hv1";
    writeFile(real, original);
    fs::create_symlink(real, link);
    TempRewrite(link, "yourfed.tmp", "new\r\n");
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(readFile(real), "new\r\n");

    const fs::path folder = dir.path() / "folder.hv1";
    fs::create_directories(folder);
    EXPECT_THROW(TempRewrite(folder, "yourfed.tmp", "x"), GameFileError);
    EXPECT_TRUE(fs::is_directory(folder));
}

TEST_F(TempRewriteTest, EveryFailingStepLeavesTheTargetAsItWas) {
    struct Case {
        const char* words;
        void (*inject)(RewriteSyscalls&);
    };
    for (const Case& c : std::initializer_list<Case>{
             {"cannot be created",
              [](RewriteSyscalls& s) {
                  s.open = [](const char*, int, mode_t) { return fail(EACCES); };
              }},
             {"writing failed", [](RewriteSyscalls& s) { s.write = &writeThenFail; }},
             {"flushing", [](RewriteSyscalls& s) { s.fsync = [](int) { return fail(EIO); }; }},
             {"closing",
              [](RewriteSyscalls& s) { s.close = [](int fd) { return ::close(fd), fail(EIO); }; }},
             {"replacing",
              [](RewriteSyscalls& s) {
                  s.rename = [](const char*, const char*) { return fail(EXDEV); };
              }},
         }) {
        SCOPED_TRACE(c.words);
        writtenSoFar = 0;
        c.inject(rewriteSyscalls());
        expectFailureLeavesTarget(c.words);
    }
}

TEST_F(TempRewriteTest, APendingRewriteChangesNothingUntilCommitted) {
    writeFile(target, original);
    const auto before = snapshot(dir.path());
    {
        const std::string_view pieces[] = {"new", "\r\n"};
        PendingRewrite pending(target, "yourfed.tmp", pieces);
        EXPECT_EQ(readFile(target), original);
        EXPECT_EQ(readFile(dir.path() / "yourfed.tmp"), "new\r\n");
    } // never committed
    EXPECT_EQ(snapshot(dir.path()), before);
}

// A real file-size limit in a child process: the disk "fills up" while writing.
TEST_F(TempRewriteTest, FileSizeLimitInAChildLeavesTargetUnchanged) {
    writeFile(target, original);
    const auto before = snapshot(dir.path());
    pid_t pid = ::fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        ::signal(SIGXFSZ, SIG_IGN);
        struct rlimit limit {
            1000, 1000
        };
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

} // namespace
} // namespace hv::test
