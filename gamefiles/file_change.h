#pragma once

// One change of game files, carried whole from its first read to its restore point:
//   editRecordFile<Record>(place, description, change)   one record file of a slot
//   editFiles(gameFolder, slot, description, change)      any files of a slot, or bytes
// Both open the change's RestoreScope (which holds the game folder's lock) before anything is
// read, so that the change reads the files as they are now and nobody writes between its read
// and its replace. `change` then reads, checks what it was given against that read (its base:
// merge.h's mergeEdits, refused as a ConflictError) and edits. Every file it changed is written
// to its temporary file and synced, and only then put in place, in order (commitInOrder), each
// old version kept in the scope's restore point under `description`. Whatever `change` throws,
// every file stays as it was and no point is left; refuseChange makes such a refusal say so.
// Both return what `change` returns.
//
// A window's Apply of many FieldEdits of many records of one file (the roster; a rival file is
// the same with OtherFedRecord and otherfeds::partyFile), as one change with one restore point;
// the records are found again in the file as read now, where they may have moved:
//   editRecordFile<WrestlerRecord>(roster, "Edit the roster", [&](WrestlerFile& file) {
//       std::vector<Conflict> conflicts;
//       for (const auto& [name, edits] : editsByName)
//           if (const auto i = file.findFirst(name)) {
//               WrestlerRecord record = file.record(*i);
//               for (Conflict& c : mergeEdits(record.lines, edits, name, describe))
//                   conflicts.push_back(std::move(c));
//               file.replace(*i, record);
//           }
//       if (!conflicts.empty())
//           throw ConflictError(std::move(conflicts)); // nothing written, no point
//   });

#include "error.h"
#include "fields.h"
#include "game_folder.h"
#include "record_file.h"
#include "restore.h"
#include "temp_rewrite.h"

#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

namespace hv {

// What editFiles hands its change: the scope, and the files the change writes.
class FileChange {
public:
    explicit FileChange(const RestoreScope& scope) : scope_(scope) {}
    FileChange(const FileChange&) = delete;
    FileChange& operator=(const FileChange&) = delete;

    const RestoreScope& scope() const { return scope_; }

    // Writes the new version of `file` as the change edited it to its temporary file now, to be
    // put in place by commit(); nothing when the change did not edit it.
    void write(const RecordBytes& file, const std::filesystem::path& tempName);
    // The same for `bytes` as the new version of `target`.
    void write(const std::filesystem::path& target, const std::filesystem::path& tempName,
               std::string_view bytes);
    // Puts what was written in place, in the order written. editFiles calls it when the change
    // returns; a change that reports the restore point (scope().pointId()) calls it first.
    void commit();

private:
    const RestoreScope& scope_;
    std::vector<std::unique_ptr<PendingRewrite>> writes_;
};

namespace detail {
// f(), then after(), returning what f returned.
template <class F, class After> auto thenDo(F&& f, After&& after) {
    if constexpr (std::is_void_v<std::invoke_result_t<F&>>) {
        f();
        after();
    } else {
        auto result = f();
        after();
        return result;
    }
}
} // namespace detail

// `change(FileChange&)` writes its files through FileChange::write.
template <class Change>
auto editFiles(const std::filesystem::path& gameFolder, std::string_view slot,
               std::string_view description, Change&& change) {
    const RestoreScope scope(gameFolder, slot, description);
    FileChange files(scope);
    return detail::thenDo([&]() -> decltype(auto) { return change(files); },
                          [&] { files.commit(); });
}

// A record file, the temporary file its rewrite goes through, and the game folder and slot
// whose restore point keeps what a change of it replaces (as SlotFile, for any file).
struct RecordFilePlace {
    std::filesystem::path gameFolder;
    std::string slot;
    std::filesystem::path file;
    std::filesystem::path temp;
};

// `change(RecordFile<Record>&)` edits the file as read under the scope; written when edited.
// `known`: what the caller read of the file before, to index the file from when it is unchanged
// (RecordBytes::sameAsKnown).
template <class Record, class Change>
auto editRecordFile(const RecordFilePlace& place, std::string_view description, Change&& change,
                    const RecordBytes* known = nullptr) {
    return editFiles(place.gameFolder, place.slot, description, [&](FileChange& files) {
        RecordFile<Record> records = RecordFile<Record>::read(place.file, known);
        return detail::thenDo([&]() -> decltype(auto) { return change(records); },
                              [&] { files.write(records, place.temp); });
    });
}

template <class Record, class Change>
auto editRecordFile(const SlotFile& place, std::string_view description, Change&& change,
                    const RecordBytes* known = nullptr) {
    return editRecordFile<Record>(
        RecordFilePlace{place.gameFolder, place.slot, place.file, place.temp}, description,
        std::forward<Change>(change), known);
}

// What `hv roster set` and `hv rivals set` do: the given lines of every record named `key`, each
// as Field::assignedOrRefused makes it from `fields` (the field named by `fieldName` in a
// refusal), as one change "Edit KEY"; every other line stays as stored. Returns how many
// records bear the name.
template <class Record, class Line>
std::size_t setNamedFields(const SlotFile& place, std::string_view key,
                           std::span<const Field> fields,
                           const std::vector<std::pair<Line, std::string>>& values,
                           std::string_view (*fieldName)(Line)) {
    return editRecordFile<Record>(place, "Edit " + std::string(key), [&](RecordFile<Record>& file) {
        std::size_t matched = 0;
        for (std::size_t i = 0; i < file.size(); ++i) {
            if (!file.isNamed(i, key))
                continue;
            ++matched;
            Record record = file.record(i);
            bool changed = false;
            for (const auto& [line, given] : values)
                if (auto value = fields[line].assignedOrRefused(
                        given, record.lines[line], place.file,
                        "value of \"" + std::string(fieldName(line)) + "\"")) {
                    record.lines[line] = std::move(*value);
                    changed = true;
                }
            if (changed)
                file.replace(i, record);
        }
        return matched;
    });
}

} // namespace hv
