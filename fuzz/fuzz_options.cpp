// options.dat: the game folder on line 1 (a field read) and the report's settings after it.

#include "fuzz/fuzz_support.h"
#include "gamefiles/options.h"
#include "gamefiles/text.h"
#include "report/report_ops.h"

using namespace hv;

HV_FUZZ_TARGET(bytes) {
    const auto work = fuzz::resetScratch();
    const auto file = fuzz::put("options.dat", bytes);
    const std::size_t lf = bytes.find('\n');
    const std::string_view rest = lf == std::string_view::npos ? "" : bytes.substr(lf + 1);

    try {
        const report::ReportSettings settings = report::readSettings(work);
        const auto lines = splitLines(bytes);
        // Line 1 and the five settings make a file the report writes back unchanged.
        if (fuzz::crlfOnly(bytes) && lines.size() == 6) {
            report::writeSettings(work, settings);
            fuzz::require(fuzz::bytesOf(file) == bytes,
                          "unchanged report settings keep every byte");
        }
    } catch (const GameFileError&) {
    } catch (const OperationRefused&) {
    }

    fuzz::put("options.dat", bytes);
    const auto folder = fuzz::readOrNothing([&] { return readGameFolder(work); });
    if (!folder)
        return;
    const auto line =
        fuzz::readOrNothing<OperationRefused>([&] { return gameFolderLine(*folder); });
    if (!line)
        return;
    fuzz::require(fieldReadFirst(*line) == *folder, "the folder as written reads back whole");
    changeGameFolder(work, *folder);
    const std::string after = fuzz::bytesOf(file);
    fuzz::require(readGameFolder(work) == *folder, "a changed options.dat names the folder");
    fuzz::require(after == *line + "\r\n" + std::string(rest), "lines after line 1 are kept");
    if (fuzz::crlfOnly(bytes) && bytes.substr(0, lf) == *line + "\r")
        fuzz::require(after == bytes, "storing the same folder keeps every byte");
}
