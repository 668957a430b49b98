#pragma once

// What every fuzz target shares: its entry point, a broken property aborts (libFuzzer then
// keeps the input), the CR LF test that decides when a rewrite must give the same bytes back,
// and a scratch game folder for readers that take a path.

#include "gamefiles/record_file.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The libFuzzer entry point: the block that follows is run on each input, as `bytes`.
#define HV_FUZZ_TARGET(bytes)                                                                      \
    static void fuzzOne(std::string_view bytes);                                                   \
    extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {            \
        fuzzOne(std::string_view(reinterpret_cast<const char*>(data), size));                      \
        return 0;                                                                                  \
    }                                                                                              \
    static void fuzzOne(std::string_view bytes)

namespace hv::fuzz {

void require(bool ok, const char* property);

// Every line, the last included, ends in CR LF (an empty text counts).
bool crlfOnly(std::string_view bytes);
std::string joined(const std::vector<std::string_view>& pieces);

// A folder of this process below TMPDIR, emptied for every input by resetScratch.
const std::filesystem::path& scratch();
const std::filesystem::path& resetScratch();
// Writes bytes to a file below scratch(), creating its folders.
std::filesystem::path put(std::string_view relative, std::string_view bytes);
std::string bytesOf(const std::filesystem::path& file);

// What `read` returns, or nothing when it refuses its input (as a bad game file by default).
template <class Refusal = GameFileError, class Read>
auto readOrNothing(Read read) -> std::optional<decltype(read())> {
    try {
        return read();
    } catch (const Refusal&) {
        return std::nullopt;
    }
}

// Reads `bytes` as a record file and checks that writing it back is exact: byte for byte
// when it uses CR LF throughout (else normalised once, same records), and that each kind of
// edit changes exactly its own record.
template <class Record> std::optional<RecordFile<Record>> checkRecordFile(std::string_view bytes) {
    auto read = [&](std::string_view b) {
        return readOrNothing([&] { return RecordFile<Record>(std::string(b), "fuzz.hv1"); });
    };
    auto file = read(bytes);
    if (!file)
        return file;
    const std::string same = joined(file->pieces());
    require(crlfOnly(same), "a rewrite writes CR LF throughout");
    if (crlfOnly(bytes))
        require(same == bytes, "an unchanged file is written back byte for byte");
    const auto again = read(same);
    require(again && again->size() == file->size(), "a normalised file reads the same records");

    std::string texts;
    for (std::size_t i = 0; i < file->size(); ++i) {
        require(recordText(file->record(i)) == file->text(i), "record lines are its stored text");
        texts += file->text(i);
    }
    require(texts == same, "the records cover the file");
    if (file->size() == 0)
        return file;

    const std::size_t i = bytes.size() % file->size();
    const std::size_t j = (i + 1) % file->size();
    const std::string_view recI = file->text(i), recJ = file->text(j);
    const auto at = static_cast<std::size_t>(recI.data() - file->text(0).data());
    auto edited = [&](auto&& edit) {
        auto copy = read(same);
        edit(*copy);
        return joined(copy->pieces());
    };
    require(edited([&](auto& f) { f.replace(i, f.record(i)); }) == same, "replace by itself");
    require(edited([&](auto& f) {
                f.replaceLine(i, Record::kLines - 1, f.line(i, Record::kLines - 1));
            }) == same,
            "replace a line by itself");
    std::string dropped = same;
    dropped.erase(at, recI.size());
    require(edited([&](auto& f) { f.drop(i); }) == dropped, "drop removes exactly one record");
    require(edited([&](auto& f) { f.append(f.record(i)); }) == same + std::string(recI),
            "append adds at the end");
    const std::string swapped = edited([&](auto& f) { f.swap(i, j); });
    const auto back = read(swapped);
    require(back && back->size() == file->size() && back->text(i) == recJ && back->text(j) == recI,
            "swap exchanges two records");
    return file;
}

} // namespace hv::fuzz
