#pragma once

// An editor context over a test game world: the working folder and a settable slot.

#include "app/editor_context.h"

#include <filesystem>

namespace hv::test {

class FakeContext : public hv::ui::EditorContext {
public:
    explicit FakeContext(std::filesystem::path workDir) : workDir_(std::move(workDir)) {}
    std::filesystem::path workDir() const override { return workDir_; }
    QString currentSlot() const override { return slot; }
    QString slot = QStringLiteral("save1");

private:
    std::filesystem::path workDir_;
};

} // namespace hv::test
