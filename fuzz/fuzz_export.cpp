// An exchange file (.hve): its first 19-line record, the file name an export gives it, and
// its import into an empty roster.

#include "exchange/exchange_ops.h"
#include "fuzz/fuzz_support.h"
#include "gamefiles/export_file.h"

using namespace hv;

HV_FUZZ_TARGET(bytes) {
    const auto record = fuzz::readOrNothing([&] { return parseExportFile(bytes, "fuzz.hve"); });
    if (!record)
        return;
    const std::string written = serializeExportFile(*record);
    if (fuzz::crlfOnly(bytes))
        fuzz::require(bytes.starts_with(written), "the record is written back byte for byte");

    const std::string name = exchange::exportFileName(record->name());
    fuzz::require(!name.empty() && name.find_first_of("/\\") == std::string::npos && name != "." &&
                      name != "..",
                  "an export file name stays in its folder");
    for (unsigned char c : name)
        fuzz::require(c >= 32 && c != 127, "an export file name holds no control character");

    const std::string game = fuzz::resetScratch() / "game";
    fuzz::put("game/save1/Controlled/yourfed.hv1", "");
    const auto file = fuzz::put("in.hve", bytes);
    const exchange::RosterFile roster(game, "save1");
    try {
        const auto result = exchange::importWrestler(roster, file);
        fuzz::require(result.appended, "an empty roster takes the wrestler");
        const auto after = RecordFile<WrestlerRecord>::read(roster.file);
        fuzz::require(after.size() == 1 && after.record(0).lines == record->lines,
                      "the imported record is the exported one");
    } catch (const GameFileError&) {
    } catch (const OperationRefused&) {
        fuzz::require(record->name() == kPlaceholderName, "only the placeholder name is refused");
    }
}
