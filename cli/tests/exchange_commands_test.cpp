#include "cli/cli.h"

#include "testsupport/test_support.h"

#include <gtest/gtest.h>

#include <sstream>

namespace hv::test {
namespace {

TEST(CliExchange, ExportPreviewAndImport) {
    GameWorld world;
    std::string out, err;
    auto hv = [&](const std::vector<std::string>& args) {
        std::ostringstream o, e;
        const int code = hv::cli::runCli(args, world.work, o, e);
        out = o.str();
        err = e.str();
        return code;
    };
    const std::vector<std::string> a = wrestler("A/B"), b = wrestler("B");
    world.setRoster("save1", {a, b});
    EXPECT_EQ(hv({"export", "A/B"}), 0);
    const auto file = world.work / "A_B.hve";
    EXPECT_EQ(out, file.string() + "\n");
    EXPECT_EQ(readFile(file), crlf(a));

    EXPECT_EQ(hv({"preview", file.string()}), 0);
    EXPECT_EQ(out.substr(0, 21), "Name : A/B\nDraw : 50\n");

    const auto before = world.files();
    EXPECT_EQ(hv({"import", file.string()}), 1);
    EXPECT_NE(err.find("\"A/B\" is already in the roster"), std::string::npos) << err;
    EXPECT_EQ(world.files(), before);
    EXPECT_EQ(hv({"import", file.string(), "--overwrite", "--as", "X"}), 2);

    EXPECT_EQ(hv({"import", file.string(), "--as", "C"}), 0);
    writeFile(file, crlf(withLine(a, 1, "1")));
    EXPECT_EQ(hv({"import", file.string(), "--overwrite"}), 0);
    EXPECT_EQ(world.roster(), recordBytes({withLine(a, 1, "1"), b, withLine(a, 0, "C")}));
}

} // namespace
} // namespace hv::test
