#include "test_support.h"
#include "hostile_world.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;
#endif

namespace fs = std::filesystem;

namespace hv::test {

TempDir::TempDir() {
    // A random name, created only if it is new (Windows has no mkdtemp).
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path candidate =
            fs::temp_directory_path() / ("hv-test-" + std::to_string(random() % 1000000000));
        if (fs::create_directory(candidate)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

std::string crlf(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines)
        out.append(l).append("\r\n");
    return out;
}

std::vector<std::string> crlfLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    for (std::size_t end; (end = bytes.find("\r\n", start)) != std::string_view::npos;
         start = end + 2)
        lines.emplace_back(bytes.substr(start, end - start));
    if (start < bytes.size())
        lines.emplace_back(bytes.substr(start));
    return lines;
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
    return {std::istreambuf_iterator<char>(in), {}};
}

std::vector<std::pair<std::string, std::string>> snapshot(const fs::path& root) {
    std::vector<std::pair<std::string, std::string>> files;
    std::error_code unreadable; // a link loop is no file to compare
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.is_regular_file(unreadable))
            files.emplace_back(fs::relative(entry.path(), root).generic_string(),
                               readFile(entry.path()));
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<std::string> wrestler(std::string_view name, std::string_view carder,
                                  std::string_view injury) {
    const std::string n(name), c(carder), i(injury), about = n + " description";
    const std::string finisher = n + " Driver";
    return {n,        "50", "60", "1000", "2000", about, c,       "Face", "3",
            finisher, "no", i,    "75",   "no",   "no",  "Chair", "p",    "Technical Wrestler",
            "8"};
}

std::vector<std::string> rivalWrestler(std::string_view name, std::string_view alterEgo) {
    const std::string n(name);
    return {
        n,      " 50 ",      "60", " 7000 ", "800", n + " bio", "2",  " 9 ", std::string(alterEgo),
        "Heel", n + " Bomb", "no", "Chair",  "s",   "Hardcore", " 4 "};
}

std::vector<std::string> blankWrestlerLines() {
    std::vector<std::string> lines(19);
    lines[0] = "Your Wrestler";
    lines[6] = "2";
    lines[11] = "0";
    lines[12] = "80";
    lines[18] = "20";
    return lines;
}

std::string recordBytes(const std::vector<std::vector<std::string>>& records) {
    std::string bytes;
    for (const auto& r : records)
        bytes += crlf(r);
    return bytes;
}

GameWorld::GameWorld(std::string_view federation)
    : game(root.path() / "Halvorn"), work(root.path() / "work") {
    writeFile(work / "options.dat", crlf({game.string()}));
    writeFile(game / "saveslots.hv1",
              crlf({"First Slot", "Second Slot", "No Saved Game", "Fourth Slot"}));
    for (std::string_view slot : {"save1", "save2", "save3", "save4"}) {
        writeFile(rosterFile(slot), "");
        setSaveGame(slot, federation);
        writeFile(slotFile(slot, "Background/wwfmanagers.hv1"),
                  crlf({"Wally Manager", "m", "Wendy Manager", "f"}));
        writeFile(slotFile(slot, "Background/wcwmanagers.hv1"), crlf({"Carl Manager", "m"}));
        for (std::string_view rival : {"wwf", "wcw", "ecw", "otherbig"})
            writeFile(slotFile(slot, "Background/" + std::string(rival) + ".hv1"), "");
    }
}

void GameWorld::setSaveGame(std::string_view slot, std::string_view federation) {
    std::vector<std::string> lines = {
        "Commissioner Cole", std::string(federation), "Monday", "12", "March", "99", "250000"};
    lines.insert(lines.end(), 5, "Vacant");
    lines.insert(lines.end(), {"The Team", "Member One", "Member Two"});
    lines.insert(lines.end(), 5, "");
    for (int i = 0; i < 5; ++i)
        lines.insert(lines.end(), {" 33023 ", " 15 "});
    lines.push_back("game data line 31");
    writeFile(slotFile(slot, "Saved Game/save1.hv1"), crlf(lines));
}

#ifndef _WIN32
ProgramRun runProgram(const char* program, const std::vector<std::string>& args,
                      const fs::path& work, const std::vector<std::string>* env) {
    const TempDir catcher;
    const fs::path out = catcher.path() / "out", err = catcher.path() / "err";
    std::vector<char*> argv{const_cast<char*>(program)}, envp;
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    if (env != nullptr) {
        for (const auto& e : *env)
            envp.push_back(const_cast<char*>(e.c_str()));
        envp.push_back(nullptr);
    }
    const pid_t child = ::fork();
    if (child == 0) {
        const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
        if (o < 0 || e < 0 || ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0 || ::chdir(work.c_str()) != 0)
            ::_exit(126);
        ::execve(program, argv.data(), env != nullptr ? envp.data() : environ);
        ::_exit(127);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, readFile(out), readFile(err)};
}
#endif

const std::vector<HostileValue>& hostileValues() {
    static const std::vector<HostileValue> values = [] {
        std::string bytes; // 0x80 to 0xFF above all, and the control characters too
        for (int b = 0x01; b <= 0xFF; ++b)
            if (b != '\r' && b != '\n')
                bytes.push_back(static_cast<char>(b));
        std::string longText;
        while (longText.size() < 40000)
            longText += "Long value " + std::to_string(longText.size()) + ", ";
        longText.resize(40000);
        return std::vector<HostileValue>{
            {"40000 characters", longText},           {"lone CR", "Before\rafter"},
            {"bytes 0x01-0xFF but CR and LF", bytes}, {"outer blanks", "  Padded  "},
            {"enclosing quotes", "\"Smith, John\""},  {"inner comma", "Thuar, Koro"},
            {"markup", "<b>Bold</b> &amp; <i>"},      {"empty", ""},
        };
    }();
    return values;
}

} // namespace hv::test
