#include "restore_ops.h"

#include "gamefiles/error.h"
#include "gamefiles/temp_rewrite.h"
#include "gamefiles/text.h"

#include <algorithm>
#include <charconv>
#include <memory>

namespace fs = std::filesystem;

namespace hv::restore {

std::vector<RestorePoint> listPoints(const std::string& gameFolder, std::string_view slot) {
    return listRestorePoints(gameFolder, slot);
}

std::vector<const RestorePoint*> laterChangesTo(const std::vector<RestorePoint>& points,
                                                std::size_t index) {
    std::vector<const RestorePoint*> later;
    const auto& files = points.at(index).files;
    for (std::size_t i = 0; i < index; ++i)
        if (std::ranges::find_first_of(points[i].files, files) != points[i].files.end())
            later.push_back(&points[i]);
    return later;
}

std::optional<unsigned long long> parsePointId(std::string_view text) {
    unsigned long long id = 0;
    const char* end = text.data() + text.size();
    auto [at, error] = std::from_chars(text.data(), end, id);
    if (text.empty() || error != std::errc() || at != end)
        return std::nullopt;
    return id;
}

unsigned long long applyPoint(const std::string& gameFolder, std::string_view slot,
                              unsigned long long id) {
    const auto point = findRestorePoint(gameFolder, slot, id);
    if (!point)
        throw OperationRefused(std::string(slot) + " has no restore point " + std::to_string(id) +
                               ". Nothing was written.");
    std::vector<std::string> versions;
    for (std::size_t i = 0; i < point->files.size(); ++i)
        versions.push_back(readFileBytes(point->kept(i)));

    const RestoreScope undo(gameFolder, slot,
                            "Restore " + std::to_string(id) + " (" + point->description + ")");
    std::vector<std::unique_ptr<PendingRewrite>> writes;
    for (std::size_t i = 0; i < versions.size(); ++i) {
        const fs::path target = fs::path(gameFolder) / point->files[i];
        const std::string_view piece = versions[i];
        // A name of our own beside each file: two files of one folder are written at once.
        writes.push_back(
            std::make_unique<PendingRewrite>(target, target.filename().string() + ".restore.tmp",
                                             std::span<const std::string_view>(&piece, 1)));
    }
    for (auto& write : writes)
        write->commit();
    return undo.pointId().value_or(0);
}

} // namespace hv::restore
