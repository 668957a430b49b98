#include "tools/world.h"

#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <string>

namespace fs = std::filesystem;

namespace {

using Files = std::map<std::string, std::string>;

const fs::path kSample = fs::path(HV_SOURCE_DIR) / "sample" / "game";

Files generated(const hv::world::WorldOptions& options) {
    Files files;
    hv::world::makeWorld(options, [&](const std::string& path, const std::string& bytes) {
        EXPECT_TRUE(files.emplace(path, bytes).second) << "written twice: " << path;
    });
    return files;
}

Files onDisk(const fs::path& root) {
    const auto files = hv::test::snapshot(root);
    return {files.begin(), files.end()};
}

// File by file, so that a difference names its file instead of printing the whole sample.
void expectSameFiles(const Files& expected, const Files& actual) {
    EXPECT_TRUE(std::ranges::equal(expected, actual, {}, &Files::value_type::first,
                                   &Files::value_type::first));
    for (const auto& [name, bytes] : expected)
        EXPECT_TRUE(actual.contains(name) && actual.at(name) == bytes) << name;
}

// The committed sample is what the generator makes, in the library and through the program;
// a change of the generator that moves one byte shows here.
TEST(SampleGame, CommittedSampleIsWhatTheGeneratorWrites) {
    expectSameFiles(generated({}), onDisk(kSample));
    hv::test::TempDir dir;
    const fs::path out = dir.path() / "game";
    std::string command = std::string("\"") + HV_MAKE_WORLD + "\" \"" + out.string() + "\"";
#ifdef _WIN32
    command = "\"" + command + "\""; // cmd.exe drops the outermost pair of quotes
#endif
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    expectSameFiles(onDisk(kSample), onDisk(out));
}

TEST(Generator, SameSeedSameBytesOtherSeedOtherBytes) {
    hv::world::WorldOptions other;
    other.seed = 7;
    other.wrestlers = 50;
    EXPECT_NE(generated(other), generated({}));
    EXPECT_EQ(hv::world::makeRosterBytes(500, 3), hv::world::makeRosterBytes(500, 3));
}

} // namespace
