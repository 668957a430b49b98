// Every write operation of the program, failed at every step of every safe rewrite it makes:
// each failure must leave the game folder and the working folder byte for byte as they were
// (an operation on several files puts back those it replaced before the failure), leave no
// temporary file behind, and name the file and the failed step in its message. Made twice,
// the same change writes nothing the second time.

#include "gamefiles/error.h"
#include "gamefiles/temp_rewrite.h"
#include "restore/restore_ops.h"
#include "testsupport/operations.h"
#include "testsupport/rewrite_steps.h"
#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <iostream>
#include <regex>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace hv::test {
namespace {

namespace fs = std::filesystem;

// Puts every file back as it was, from the files as they are now: those that differ are
// written again, those that were not there are removed.
void restore(const OpWorld& world, const Files& now, const Files& was) {
    for (const auto& file : now)
        if (!std::ranges::binary_search(was, file))
            fs::remove(world.root.path() / file.first);
    for (const auto& file : was)
        if (!std::ranges::binary_search(now, file))
            writeFile(world.root.path() / file.first, file.second);
}

// Why each step failed, as the message says it.
constexpr const char* kWhy[] = {"cannot be created", "writing failed", "flushing to disk failed",
                                "closing failed", "replacing the file failed"};

TEST(FailureSweep, EveryStepOfEveryWriteFailsCleanly) {
    int injected = 0;
    for (const Operation& op : operations()) {
        OpWorld world;
        op.setUp(world);
        const Files before = world.files();
        std::array<int, std::size(kRewriteSteps)> counts{};
        const std::size_t mark = replacedMark();
        {
            const RewriteStepFailure counting;
            op.run(world);
            for (RewriteStep step : kRewriteSteps)
                counts[static_cast<std::size_t>(step)] = counting.count(step);
        }
        const std::vector<fs::path> replaced = replacedSince(mark); // in the order replaced
        const Files after = world.files();
        ASSERT_NE(after, before) << op.name << " changed nothing";
        const std::size_t points = listRestorePoints(world.game, "save1").size();
        std::vector<std::string> written; // full paths of the files the operation changes
        for (const auto& [name, bytes] : after)
            if (!std::ranges::count(before, std::pair{name, bytes}))
                written.push_back((world.root.path() / name).make_preferred().string());
        EXPECT_EQ(changedOutside(op, before, after), "") << op.name;

        for (RewriteStep step : kRewriteSteps)
            for (int nth = 1; nth <= counts[static_cast<std::size_t>(step)]; ++nth, ++injected) {
                const std::string where =
                    op.name + ", " + stepName(step) + " #" + std::to_string(nth);
                restore(world, world.files(), before);
                std::string message;
                {
                    const RewriteStepFailure failure(step, nth);
                    try {
                        op.run(world);
                        ADD_FAILURE() << where << ": no error";
                    } catch (const GameFileError& e) {
                        message = e.what();
                    }
                    EXPECT_TRUE(failure.fired()) << where;
                }
                EXPECT_NE(message.find(kWhy[static_cast<std::size_t>(step)]), std::string::npos)
                    << where << ": " << message;
                EXPECT_TRUE(std::ranges::any_of(written,
                                                [&](const std::string& file) {
                                                    return message.find(file) != std::string::npos;
                                                }))
                    << where << ": " << message;
                if (step == RewriteStep::Replace) { // the message starts with the failed file
                    const fs::path failed = fs::path(replaced.at(nth - 1)).make_preferred();
                    EXPECT_EQ(message.rfind(failed.string(), 0), 0u) << where << ": " << message;
                }
                // The files replaced before a failed replace are put back, and no restore
                // point is left.
                EXPECT_EQ(world.files(), before) << where;
                EXPECT_EQ(listRestorePoints(world.game, "save1").size(), points) << where;
                if (step != RewriteStep::Replace || nth < 2)
                    continue;
                // Nor can the first file be put back: the message names the file that holds
                // the change and the restore point that undoes it.
                restore(world, world.files(), before);
                try {
                    const RewriteStepFailure failure(step, nth, true);
                    op.run(world);
                } catch (const GameFileError& e) {
                    message = e.what();
                }
                const std::string first = fs::path(replaced.at(0)).make_preferred().string();
                std::smatch point;
                EXPECT_NE(message.find(first + " holds the change"), std::string::npos) << message;
                ASSERT_TRUE(std::regex_search(message, point,
                                              std::regex("restore point ([0-9]+) of save1")))
                    << where << ": " << message;
                const auto id = std::stoull(point[1]);
                restore::applyPoint(world.folder(), "save1", id,
                                    restore::planRestore(world.folder(), "save1", id).id);
                EXPECT_EQ(world.files(), before) << where;
            }
    }
    std::cout << "failure sweep: " << operations().size() << " operations, " << injected
              << " injected failures (operations x steps)\n";
    ::testing::Test::RecordProperty("injected_failures", injected);
}

// Every file below the test root with its bytes, its time and (where the system tells) its
// inode: a rewrite to the same bytes still changes the last two.
std::vector<std::string> stamped(const OpWorld& world) {
    std::vector<std::string> out;
    for (const auto& [name, bytes] : snapshot(world.root.path())) {
        const fs::path file = world.root.path() / name;
        // A sheet's base copy is the editor's own record of an export, marked newest again by
        // the same export; not a game file, nor a restore point.
        if (file.filename().string().starts_with("sheet-")) {
            out.push_back(name + " " + bytes);
            continue;
        }
        std::string stamp = name + " " + bytes + " " +
                            std::to_string(fs::last_write_time(file).time_since_epoch().count());
#ifndef _WIN32
        struct stat st {};
        ::stat(file.c_str(), &st);
        stamp += " " + std::to_string(st.st_ino);
#endif
        out.push_back(stamp);
    }
    return out;
}

TEST(FailureSweep, TheSameChangeMadeAgainWritesNothing) {
    for (const Operation& op : operations()) {
        if (!op.repeats)
            continue;
        OpWorld world;
        op.setUp(world);
        op.run(world);
        const auto once = stamped(world);
        const std::size_t mark = replacedMark();
        op.run(world);
        EXPECT_EQ(stamped(world), once) << op.name; // restore points included
        EXPECT_TRUE(replacedSince(mark).empty()) << op.name;
    }
}

} // namespace
} // namespace hv::test
