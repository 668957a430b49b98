#include "managers/managers_ops.h"

#include "gamefiles/error.h"
#include "testsupport/test_support.h"

#include <gtest/gtest.h>

namespace hv::test {
namespace {

using namespace hv::managers;

class ManagersOps : public ::testing::Test {
protected:
    std::filesystem::path wwf() const {
        return world.slotFile("save1", "Background/wwfmanagers.hv1");
    }
    ManagersPlace place() const { return ManagersPlace(world.game.string(), "save1"); }
    GameWorld world;
};

TEST_F(ManagersOps, TheFederationChoosesTheFileAndOthersHaveNone) {
    writeFile(wwf(), ""); // an empty file gets exactly one new manager
    EXPECT_TRUE(listManagers(place()).empty());
    addManager(place());
    EXPECT_EQ(readFile(wwf()), crlf({"manager", "m"}));

    world.setSaveGame("save1", "WCW");
    addManager(place());
    EXPECT_EQ(readFile(world.slotFile("save1", "Background/wcwmanagers.hv1")),
              crlf({"Carl Manager", "m", "manager", "m"}));
    EXPECT_EQ(readFile(wwf()), crlf({"manager", "m"}));

    world.setSaveGame("save1", "wwf");
    const auto before = world.files();
    EXPECT_FALSE(place().file);
    EXPECT_THROW(addManager(place()), OperationRefused);
    EXPECT_EQ(world.files(), before);
}

} // namespace
} // namespace hv::test
