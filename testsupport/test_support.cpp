#include "test_support.h"

#include <algorithm>
#include <atomic>
#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>
#include <unistd.h>
#include <utility>

namespace fs = std::filesystem;

namespace hv::test {

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path p = fs::temp_directory_path() /
                     ("hv-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++) +
                      "-" + std::to_string(rd() % 100000));
        std::error_code ec;
        if (fs::create_directory(p, ec)) {
            path_ = p;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(path_, ec);
}

std::string crlf(std::initializer_list<std::string_view> lines) {
    std::string out;
    for (auto l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

std::string crlf(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines) {
        out += l;
        out += "\r\n";
    }
    return out;
}

void writeFile(const fs::path& file, std::string_view bytes) {
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

std::string readFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + file.string());
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

std::vector<std::pair<std::string, std::string>> snapshot(const fs::path& root) {
    std::vector<std::pair<std::string, std::string>> files;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        if (entry.is_regular_file())
            files.emplace_back(fs::relative(entry.path(), root).generic_string(),
                               readFile(entry.path()));
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::string> wrestler(std::string_view name, std::string_view carder,
                                  std::string_view injury) {
    std::string n(name);
    return {n,
            "50",
            "60",
            "1000",
            "2000",
            n + " description",
            std::string(carder),
            "Face",
            "3",
            n + " Driver",
            "no",
            std::string(injury),
            "75",
            "no",
            "no",
            "Chair",
            "p",
            "Technical Wrestler",
            "8"};
}

std::vector<std::string> placeholderWrestler() {
    return wrestler("name", "2", "5");
}

std::vector<std::string> blankWrestlerLines() {
    return {"Your Wrestler",
            "",
            "",
            "",
            "",
            "",
            "2",
            "",
            "",
            "",
            "",
            "0",
            "80",
            "",
            "",
            "",
            "",
            "",
            "20"};
}

std::vector<std::string> withLine(std::vector<std::string> record, std::size_t index,
                                  std::string value) {
    record.at(index) = std::move(value);
    return record;
}

std::string recordBytes(const std::vector<std::vector<std::string>>& records) {
    std::string bytes;
    for (const auto& r : records)
        bytes += crlf(r);
    return bytes;
}

GameWorld::GameWorld(std::string_view federation)
    : game(root.path() / "Halvorn"), work(root.path() / "work") {
    fs::create_directories(work);
    writeFile(work / "options.dat", crlf({game.string()}));
    writeFile(game / "saveslots.hv1",
              crlf({"First Slot", "Second Slot", "No Saved Game", "Fourth Slot"}));
    for (std::string_view slot : {"save1", "save2", "save3", "save4"}) {
        fs::create_directories(game / slot / "Controlled");
        fs::create_directories(game / slot / "Background");
        fs::create_directories(game / slot / "Saved Game");
        writeFile(slotFile(slot, "Controlled/yourfed.hv1"), "");
        setSaveGame(slot, federation);
        writeFile(slotFile(slot, "Background/wwfmanagers.hv1"),
                  crlf({"Wally Manager", "m", "Wendy Manager", "f"}));
        writeFile(slotFile(slot, "Background/wcwmanagers.hv1"), crlf({"Carl Manager", "m"}));
        for (std::string_view rival : {"wwf", "wcw", "ecw", "otherbig"})
            writeFile(slotFile(slot, "Background/" + std::string(rival) + ".hv1"), "");
    }
}

fs::path GameWorld::slotFile(std::string_view slot, std::string_view suffix) const {
    return game / slot / suffix;
}

void GameWorld::setRoster(std::string_view slot,
                          const std::vector<std::vector<std::string>>& records) {
    writeFile(slotFile(slot, "Controlled/yourfed.hv1"), recordBytes(records));
}

void GameWorld::setSaveGame(std::string_view slot, std::string_view federation,
                            std::string_view month, std::string_view year) {
    std::vector<std::string> lines = {"Commissioner Cole", std::string(federation), "Monday", "12",
                                      std::string(month),  std::string(year),       "250000"};
    for (int i = 0; i < 5; ++i)
        lines.push_back("Vacant");
    lines.insert(lines.end(), {"The Team", "Member One", "Member Two"});
    for (int i = 0; i < 5; ++i)
        lines.push_back("");
    for (int i = 0; i < 5; ++i) {
        lines.push_back(" 33023 ");
        lines.push_back(" 15 ");
    }
    lines.push_back("game data line 31");
    writeFile(slotFile(slot, "Saved Game/save1.hv1"), crlf(lines));
}

} // namespace hv::test
