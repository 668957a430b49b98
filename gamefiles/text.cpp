#include "text.h"

#include "error.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <system_error>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace hv {
namespace {
bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

// Where the current line ends (index of CR LF / LF / end) and where the next line starts.
std::pair<std::size_t, std::size_t> lineBounds(std::string_view bytes, std::size_t pos) {
    std::size_t lf = bytes.find('\n', pos);
    if (lf == std::string_view::npos)
        return {bytes.size(), bytes.size()};
    std::size_t end = (lf > pos && bytes[lf - 1] == '\r') ? lf - 1 : lf;
    return {end, lf + 1};
}
} // namespace

std::string_view LineReader::next() {
    auto [end, nextStart] = lineBounds(bytes_, pos_);
    std::string_view line = bytes_.substr(pos_, end - pos_);
    pos_ = nextStart;
    ++line_;
    return line;
}

std::string FieldReader::next() {
    auto [lineEnd, nextLine] = lineBounds(bytes_, pos_);
    std::size_t p = pos_;
    while (p < lineEnd && isBlank(bytes_[p]))
        ++p;

    std::string value;
    std::size_t after; // first byte after the value's own text
    if (p < lineEnd && bytes_[p] == '"') {
        std::size_t close = bytes_.find('"', p + 1);
        if (close == std::string_view::npos || close > lineEnd)
            close = lineEnd;
        value.assign(bytes_.substr(p + 1, close - p - 1));
        after = close < lineEnd ? close + 1 : lineEnd;
        // Text between the closing quote and the delimiter is dropped.
        std::size_t comma = bytes_.find(',', after);
        after = (comma != std::string_view::npos && comma < lineEnd) ? comma : lineEnd;
    } else {
        std::size_t comma = bytes_.find(',', p);
        std::size_t end = (comma != std::string_view::npos && comma < lineEnd) ? comma : lineEnd;
        std::size_t trimmed = end;
        while (trimmed > p && isBlank(bytes_[trimmed - 1]))
            --trimmed;
        value.assign(bytes_.substr(p, trimmed - p));
        after = end;
    }

    if (after < lineEnd) { // a comma: the next value starts after it, on the same line
        pos_ = after + 1;
    } else {
        pos_ = nextLine;
        ++line_;
    }
    return value;
}

std::vector<std::string> splitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    LineReader reader(bytes);
    while (!reader.atEnd())
        lines.emplace_back(reader.next());
    return lines;
}

std::string fieldReadFirst(std::string_view line) {
    FieldReader reader(line);
    return reader.atEnd() ? std::string() : reader.next();
}

void appendTextLine(std::string& out, std::string_view text) {
    out.append(text);
    out.append(kLineEnd);
}

std::string numberLine(long long value) {
    std::string digits = std::to_string(value);
    if (value >= 0)
        return " " + digits + " ";
    return digits + " ";
}

std::optional<long long> parseNumber(std::string_view text) {
    std::size_t p = 0;
    while (p < text.size() && isBlank(text[p]))
        ++p;
    std::size_t e = text.size();
    while (e > p && isBlank(text[e - 1]))
        --e;
    text = text.substr(p, e - p);
    bool negative = false;
    if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
        negative = text[0] == '-';
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 18)
        return std::nullopt;
    long long value = 0;
    for (char c : text) {
        if (c < '0' || c > '9')
            return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return negative ? -value : value;
}

bool isNumberValue(std::string_view text) {
    return text.find_first_not_of(" \t") == std::string_view::npos || parseNumber(text);
}

bool hasLineBreak(std::string_view text) {
    return text.find_first_of("\r\n") != std::string_view::npos;
}

namespace {

#ifdef _WIN32

// Reads a whole file. Every sharing right is granted, so that neither the game nor our own
// rewrite, which replaces the file by renaming over it, is locked out meanwhile; for the same
// reason the file is never mapped (Windows refuses to replace a mapped file).
std::string readWhole(const std::filesystem::path& file) {
    auto failure = [&](const char* what) {
        const DWORD error = ::GetLastError();
        if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)
            return GameFileError(file, "file not found");
        return GameFileError(file, what + std::system_category().message(static_cast<int>(error)));
    };
    const DWORD attributes = ::GetFileAttributesW(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY))
        throw GameFileError(file, "is a folder, not a file");
    HANDLE handle = ::CreateFileW(file.c_str(), GENERIC_READ,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        throw failure("cannot be opened: ");
    LARGE_INTEGER size{};
    ::GetFileSizeEx(handle, &size);
    // One byte more than the file holds, so that the read that finds its end needs no growth.
    std::string bytes(static_cast<std::size_t>(size.QuadPart > 0 ? size.QuadPart : 0) + 1, '\0');
    std::size_t have = 0;
    for (;;) {
        if (have == bytes.size())
            bytes.resize(bytes.size() + (1 << 16));
        DWORD n = 0;
        const auto want = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - have, 1u << 30));
        if (!::ReadFile(handle, bytes.data() + have, want, &n, nullptr)) {
            const GameFileError error = failure("cannot be read: ");
            ::CloseHandle(handle);
            throw error;
        }
        if (n == 0)
            break;
        have += n;
    }
    ::CloseHandle(handle);
    bytes.resize(have);
    return bytes;
}

} // namespace

std::string readFileBytes(const std::filesystem::path& file) {
    return readWhole(file);
}

FileBytes::FileBytes(const std::filesystem::path& file) : read_(readWhole(file)), view_(read_) {}

#else

// Opens a file for reading and finds its size; throws GameFileError naming it.
int openForReading(const std::filesystem::path& file, std::size_t& size) {
    const int fd = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        throw GameFileError(file, error == ENOENT
                                      ? std::string("file not found")
                                      : std::string("cannot be opened: ") + std::strerror(error));
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        throw GameFileError(file, "is a folder, not a file");
    }
    size = static_cast<std::size_t>(st.st_size > 0 ? st.st_size : 0);
    return fd;
}

// Reads the rest of an open file (which it closes) into `bytes`, whose size is a first guess.
void readAll(int fd, const std::filesystem::path& file, std::string& bytes) {
    std::size_t have = 0;
    for (;;) {
        if (have == bytes.size())
            bytes.resize(bytes.size() + (1 << 16));
        const ssize_t n = ::read(fd, bytes.data() + have, bytes.size() - have);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int error = errno;
            ::close(fd);
            throw GameFileError(file, std::string("cannot be read: ") + std::strerror(error));
        }
        if (n == 0)
            break;
        have += static_cast<std::size_t>(n);
    }
    ::close(fd);
    bytes.resize(have);
}

} // namespace

std::string readFileBytes(const std::filesystem::path& file) {
    std::size_t size = 0;
    const int fd = openForReading(file, size);
    // One byte more than the file holds, so that the read that finds its end needs no growth;
    // a file that grows meanwhile is still read whole.
    std::string bytes(size + 1, '\0');
    readAll(fd, file, bytes);
    return bytes;
}

FileBytes::FileBytes(const std::filesystem::path& file) {
    std::size_t size = 0;
    const int fd = openForReading(file, size);
    if (size > 0) {
#ifdef MAP_POPULATE
        constexpr int kMapFlags = MAP_PRIVATE | MAP_POPULATE;
#else
        constexpr int kMapFlags = MAP_PRIVATE;
#endif
        void* map = ::mmap(nullptr, size, PROT_READ, kMapFlags, fd, 0);
        if (map != MAP_FAILED) {
            fd_ = fd;
            map_ = map;
            mapSize_ = size;
            view_ = std::string_view(static_cast<const char*>(map), size);
            return;
        }
    }
    read_.assign(size + 1, '\0');
    readAll(fd, file, read_);
    view_ = read_;
}

#endif

FileBytes::FileBytes(FileBytes&& other) noexcept
    : read_(std::move(other.read_)), map_(other.map_), mapSize_(other.mapSize_), fd_(other.fd_),
      view_(map_ ? other.view_ : std::string_view(read_)) {
    other.map_ = nullptr;
    other.mapSize_ = 0;
    other.fd_ = -1;
    other.view_ = {};
}

FileBytes& FileBytes::operator=(FileBytes&& other) noexcept {
    if (this != &other) {
        release();
        read_ = std::move(other.read_);
        map_ = other.map_;
        mapSize_ = other.mapSize_;
        fd_ = other.fd_;
        view_ = map_ ? other.view_ : std::string_view(read_);
        other.map_ = nullptr;
        other.mapSize_ = 0;
        other.fd_ = -1;
        other.view_ = {};
    }
    return *this;
}

FileBytes::~FileBytes() {
    release();
}

void FileBytes::release() {
#ifndef _WIN32
    if (map_)
        ::munmap(map_, mapSize_);
    if (fd_ >= 0)
        ::close(fd_);
#endif
    fd_ = -1;
    map_ = nullptr;
    mapSize_ = 0;
}

} // namespace hv
