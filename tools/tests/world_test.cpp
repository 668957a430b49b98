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
    Files files;
    for (auto& [path, bytes] : hv::test::snapshot(root))
        files.emplace(path, std::move(bytes));
    return files;
}

void expectSameFiles(const Files& expected, const Files& actual) {
    ASSERT_EQ(expected.size(), actual.size());
    for (const auto& [name, bytes] : expected) {
        ASSERT_TRUE(actual.contains(name)) << name;
        const std::string& other = actual.at(name);
        const auto diff = std::mismatch(bytes.begin(), bytes.end(), other.begin(), other.end());
        EXPECT_TRUE(bytes == other) << name << " differs at byte " << (diff.first - bytes.begin());
    }
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
    EXPECT_EQ(generated(other), generated(other));
    EXPECT_NE(generated(other), generated({}));
    EXPECT_EQ(hv::world::makeRosterBytes(500, 3), hv::world::makeRosterBytes(500, 3));
}

} // namespace
