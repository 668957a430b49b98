#include "tools/world.h"

#include "gamefiles/check.h"
#include "gamefiles/game_folder.h"
#include "gamefiles/managers.h"
#include "gamefiles/records.h"
#include "gamefiles/save_game.h"
#include "gamefiles/slot_names.h"
#include "gamefiles/text.h"
#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <vector>

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
    std::vector<std::string> expectedNames, actualNames;
    for (const auto& [name, bytes] : expected)
        expectedNames.push_back(name);
    for (const auto& [name, bytes] : actual)
        actualNames.push_back(name);
    ASSERT_EQ(expectedNames, actualNames);
    for (const auto& [name, bytes] : expected) {
        const std::string& other = actual.at(name);
        if (bytes == other)
            continue;
        const auto diff = std::mismatch(bytes.begin(), bytes.end(), other.begin(), other.end());
        ADD_FAILURE() << name << " differs at byte " << (diff.first - bytes.begin()) << " (sizes "
                      << bytes.size() << " and " << other.size() << ")";
    }
}

// Every line ends in CR LF: no lone LF, no lone CR, nothing after the last line end.
void expectCrLfOnly(const std::string& name, const std::string& bytes) {
    ASSERT_FALSE(bytes.empty()) << name;
    EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n") << name;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == '\n') {
            ASSERT_TRUE(i > 0 && bytes[i - 1] == '\r') << name << ": lone LF at byte " << i;
        }
        if (bytes[i] == '\r') {
            ASSERT_TRUE(i + 1 < bytes.size() && bytes[i + 1] == '\n')
                << name << ": lone CR at byte " << i;
        }
    }
}

fs::path slotFile(std::string_view slot, std::string_view suffix) {
    return kSample / std::string(slot) / std::string(suffix);
}

std::set<std::string> managerNames(const fs::path& file) {
    std::set<std::string> names;
    for (const auto& m : hv::readManagers(file))
        names.insert(m.name);
    return names;
}

TEST(SampleGame, CommittedSampleEqualsTheGeneratorOutput) {
    expectSameFiles(generated({}), onDisk(kSample));
}

TEST(SampleGame, ProgramWritesTheSameBytesAsTheLibrary) {
    hv::test::TempDir dir;
    const fs::path out = dir.path() / "game";
    const std::string command = std::string("\"") + HV_MAKE_WORLD + "\" \"" + out.string() + "\"";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
    expectSameFiles(generated({}), onDisk(out));
}

TEST(SampleGame, ProgramRejectsBadArguments) {
    const std::string program = std::string("\"") + HV_MAKE_WORLD + "\"";
    EXPECT_NE(std::system((program + " >/dev/null 2>&1").c_str()), 0);
    EXPECT_NE(std::system((program + " --wrestlers x out >/dev/null 2>&1").c_str()), 0);
}

TEST(SampleGame, EveryFileUsesCrLfLineEnds) {
    for (const auto& [name, bytes] : onDisk(kSample))
        expectCrLfOnly(name, bytes);
}

TEST(SampleGame, GameFolderHasNoProblems) {
    for (const auto& p : hv::checkGameFolder(kSample.string()))
        ADD_FAILURE() << p.file << ":" << p.line << ": " << p.message;
}

TEST(SampleGame, SlotNamesMarkOneEmptySlot) {
    const auto names = hv::readSaveSlotNames(kSample.string()).names;
    EXPECT_EQ(std::count(names.begin(), names.end(), hv::kNoSavedGame), 1);
    EXPECT_EQ(hv::splitLines(hv::readFileBytes(kSample / "saveslots.hv1")).size(), 4u);
}

TEST(SampleGame, RostersAreWholePlausibleRecords) {
    bool sawInjured = false, sawNumberLineCarder = false, sawPlainCarder = false;
    bool sawManager = false, sawMonthContract = false, sawEightBit = false;
    for (auto slot : hv::kSlots) {
        SCOPED_TRACE(std::string(slot));
        const std::string federation =
            hv::readFederationName(slotFile(slot, "Saved Game/save1.hv1"));
        const auto managers =
            managerNames(slotFile(slot, federation == "WWF" ? "Background/wwfmanagers.hv1"
                                                            : "Background/wcwmanagers.hv1"));
        const auto records =
            hv::readRecords<hv::WrestlerRecord>(slotFile(slot, "Controlled/yourfed.hv1"));
        ASSERT_GE(records.size(), 13u);
        ASSERT_LE(records.size(), 21u);
        EXPECT_TRUE(records.front().isPlaceholder());
        const auto names = hv::listNames(records);
        EXPECT_EQ(names.size() + 1, records.size());
        EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
        for (const auto& r : records) {
            if (r.isPlaceholder())
                continue;
            using W = hv::WrestlerRecord;
            const auto carder = hv::parseNumber(r.lines[W::Carder]);
            ASSERT_TRUE(carder && *carder >= 1 && *carder <= 3) << r.name();
            sawNumberLineCarder |= r.lines[W::Carder].front() == ' ';
            sawPlainCarder |= r.lines[W::Carder].front() != ' ';
            EXPECT_TRUE(r.lines[W::Alignment] == "Face" || r.lines[W::Alignment] == "Heel");
            EXPECT_TRUE(r.lines[W::FinisherType] == "p" || r.lines[W::FinisherType] == "s");
            EXPECT_FALSE(hv::finisherTypeName(r.lines[W::FinisherType]).empty());
            sawInjured |= hv::injuryWeeks(r, "roster") >= 1;
            sawMonthContract |= r.lines[W::Contract].find(' ') != std::string::npos;
            EXPECT_TRUE(r.lines[W::Manager] == "no" || managers.count(r.lines[W::Manager]))
                << r.lines[W::Manager];
            sawManager |= r.lines[W::Manager] != "no";
            for (const auto& line : r.lines)
                for (unsigned char c : line)
                    sawEightBit |= c >= 0x80;
        }
    }
    EXPECT_TRUE(sawInjured);
    EXPECT_TRUE(sawNumberLineCarder);
    EXPECT_TRUE(sawPlainCarder);
    EXPECT_TRUE(sawManager);
    EXPECT_TRUE(sawMonthContract);
    EXPECT_TRUE(sawEightBit);
}

TEST(SampleGame, RivalFilesAreWholeRecords) {
    bool sawPlaceholder = false, sawAlterEgo = false, sawNumberLinePotential = false;
    for (auto slot : hv::kSlots) {
        for (auto file : {"wwf.hv1", "wcw.hv1", "ecw.hv1", "otherbig.hv1"}) {
            SCOPED_TRACE(std::string(slot) + "/" + file);
            const auto records = hv::readRecords<hv::OtherFedRecord>(
                slotFile(slot, std::string("Background/") + file));
            ASSERT_GE(records.size(), 8u);
            for (const auto& r : records) {
                sawPlaceholder |= r.isPlaceholder();
                if (r.isPlaceholder())
                    continue;
                using O = hv::OtherFedRecord;
                const auto potential = hv::parseNumber(r.lines[O::Potential]);
                ASSERT_TRUE(potential && *potential >= 1 && *potential <= 20) << r.name();
                sawNumberLinePotential |= r.lines[O::Potential].front() == ' ';
                sawAlterEgo |= r.lines[O::AlterEgo] != "no";
                EXPECT_FALSE(r.lines[O::AlterEgo].empty());
            }
        }
    }
    EXPECT_TRUE(sawPlaceholder);
    EXPECT_TRUE(sawAlterEgo);
    EXPECT_TRUE(sawNumberLinePotential);
}

TEST(SampleGame, ManagersHaveNamesAndSex) {
    for (auto slot : hv::kSlots) {
        for (auto file : {"Background/wwfmanagers.hv1", "Background/wcwmanagers.hv1"}) {
            const auto managers = hv::readManagers(slotFile(slot, file));
            ASSERT_GE(managers.size(), 2u) << slot << "/" << file;
            for (const auto& m : managers) {
                EXPECT_FALSE(m.name.empty());
                EXPECT_EQ(m.name.find_first_of(",\""), std::string::npos) << m.name;
                EXPECT_TRUE(m.sex == "m" || m.sex == "f") << m.sex;
            }
        }
    }
}

TEST(SampleGame, SaveGamesHaveHeaderFeudsAndGameData) {
    std::set<std::string> federations;
    for (auto slot : hv::kSlots) {
        SCOPED_TRACE(std::string(slot));
        const fs::path file = slotFile(slot, "Saved Game/save1.hv1");
        EXPECT_GE(hv::splitLines(hv::readFileBytes(file)).size(), 50u);
        const hv::SaveHeader h = hv::readSaveGame(file);
        EXPECT_GE(hv::splitLines(h.rest).size(), 20u);
        federations.insert(h.line(hv::SaveHeader::Federation));

        const auto roster = hv::listNames(
            hv::readRecords<hv::WrestlerRecord>(slotFile(slot, "Controlled/yourfed.hv1")));
        const std::set<std::string> names(roster.begin(), roster.end());
        for (std::size_t t = hv::SaveHeader::Title1; t <= hv::SaveHeader::Title5; ++t)
            EXPECT_TRUE(h.line(t) == "Vacant" || names.count(h.line(t))) << h.line(t);
        EXPECT_TRUE(names.count(h.line(hv::SaveHeader::TagTeamFirst)));
        EXPECT_TRUE(names.count(h.line(hv::SaveHeader::TagTeamSecond)));

        int feuds = 0;
        for (std::size_t f = 0; f < 5; ++f) {
            const std::string& text = h.line(hv::SaveHeader::Feud1Text + f);
            EXPECT_EQ(h.line(hv::SaveHeader::Feud1Marker + 2 * f), " 33023 ");
            const std::string& levelLine = h.line(hv::SaveHeader::Feud1Level + 2 * f);
            EXPECT_EQ(levelLine.front(), ' ');
            const auto level = hv::parseNumber(levelLine);
            ASSERT_TRUE(level && *level >= 15 && *level <= 10600) << levelLine;
            feuds += !text.empty();
            if (text.empty()) {
                EXPECT_EQ(*level, 15);
            }
        }
        EXPECT_GE(feuds, 2);
        EXPECT_LE(feuds, 3);
    }
    EXPECT_EQ(federations, (std::set<std::string>{"WWF", "WCW"}));
}

TEST(Generator, SameSeedSameBytesOtherSeedOtherBytes) {
    hv::world::WorldOptions other;
    other.seed = 7;
    EXPECT_EQ(generated(other), generated(other));
    EXPECT_NE(generated(other), generated({}));
}

TEST(Generator, WrestlersOptionSizesEveryRoster) {
    hv::world::WorldOptions options;
    options.wrestlers = 2000;
    const Files files = generated(options);
    for (auto slot : hv::kSlots) {
        const auto records = hv::parseRecords<hv::WrestlerRecord>(
            files.at(std::string(slot) + "/Controlled/yourfed.hv1"), "roster");
        ASSERT_EQ(records.size(), 2001u);
        const auto names = hv::listNames(records);
        EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
    }
}

TEST(Generator, RosterBytesHoldAPlaceholderAndUniqueNames) {
    const std::string bytes = hv::world::makeRosterBytes(500, 3);
    EXPECT_EQ(bytes, hv::world::makeRosterBytes(500, 3));
    const auto records = hv::parseRecords<hv::WrestlerRecord>(bytes, "roster");
    ASSERT_EQ(records.size(), 501u);
    EXPECT_TRUE(records.front().isPlaceholder());
    const auto names = hv::listNames(records);
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), 500u);
}

} // namespace
