#include "cli/FileAccess.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

namespace fs = std::filesystem;

namespace {

// An EDID with its largest extension count is 64 KiB; the text forms take
// a few times that.
constexpr std::uintmax_t kLargestInput = 1024 * 1024;

// Links that lead to links this deep are taken as a loop, as the system does.
constexpr int kMostLinks = 40;

std::string ErrnoText() {
    return errno != 0 ? std::strerror(errno) : "input/output error";
}

// A name in the target's folder that no other run picks at the same time.
fs::path TemporaryBeside(const fs::path& target) {
    std::random_device entropy;
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    const auto tag = static_cast<unsigned long long>(now) ^ entropy();
    fs::path temporary = target;
    temporary += ".talvo-edid-" + std::to_string(tag);
    return temporary;
}

// The file that a chain of symbolic links ends in; the path itself when it
// is no link. A dangling link gives the missing file it names, which the
// write then creates, as an editor does.
bool FollowLinks(fs::path path, fs::path* target, std::string* reason) {
    std::error_code error;
    for (int hops = 0; hops < kMostLinks; ++hops) {
        if (!fs::is_symlink(fs::symlink_status(path, error))) {
            *target = path;
            return true;
        }
        const fs::path next = fs::read_symlink(path, error);
        if (error) {
            *reason = error.message();
            return false;
        }
        path = next.is_absolute() ? next : path.parent_path() / next;
    }
    *reason = "too many levels of symbolic links";
    return false;
}

// Whether the file may be written: its permission bits give someone the
// right (root's writes would otherwise pass over a write-protected file),
// and the running user can open it for writing without changing it.
bool Writable(const fs::path& file, fs::perms permissions, std::string* reason) {
    constexpr fs::perms anyWrite =
        fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
    if ((permissions & anyWrite) == fs::perms::none) {
        *reason = "it is write-protected";
        return false;
    }
    errno = 0;
    std::ofstream probe(file, std::ios::binary | std::ios::app);
    if (!probe) {
        *reason = ErrnoText();
        return false;
    }
    return true;
}

bool ReadAll(std::istream& stream, std::vector<std::uint8_t>* bytes, std::string* reason) {
    std::vector<std::uint8_t> content;
    char buffer[4096];
    while (stream.read(buffer, sizeof buffer) || stream.gcount() > 0) {
        content.insert(content.end(), buffer, buffer + stream.gcount());
        if (content.size() > kLargestInput) {
            *reason = "it is too large to be an EDID file";
            return false;
        }
    }
    if (stream.bad()) {
        *reason = ErrnoText();
        return false;
    }
    *bytes = std::move(content);
    return true;
}

} // namespace

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* reason) {
    std::error_code error;
    const fs::file_status status = fs::status(path, error);
    if (fs::is_directory(status)) {
        *reason = "it is a folder";
        return false;
    }
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        *reason = "it is not a regular file";
        return false;
    }
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        *reason = ErrnoText();
        return false;
    }
    return ReadAll(file, bytes, reason);
}

bool ReadWholeStream(std::istream& stream, std::vector<std::uint8_t>* bytes, std::string* reason) {
    errno = 0;
    return ReadAll(stream, bytes, reason);
}

bool ReplaceFile(const std::string& path, const std::string& bytes, std::string* reason) {
    fs::path target;
    if (!FollowLinks(fs::path(path), &target, reason)) {
        return false;
    }
    std::error_code error;
    const fs::file_status status = fs::status(target, error);
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        *reason = "it exists and is not a regular file";
        return false;
    }
    if (fs::exists(status) && !Writable(target, status.permissions(), reason)) {
        return false;
    }
    const fs::path temporary = TemporaryBeside(target);
    errno = 0;
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file) {
            *reason = ErrnoText();
            return false;
        }
        file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        file.flush();
        if (!file) {
            *reason = ErrnoText();
            file.close();
            fs::remove(temporary, error);
            return false;
        }
        file.close();
        if (!file) {
            *reason = ErrnoText();
            fs::remove(temporary, error);
            return false;
        }
    }
    // The replacement keeps who may read and write the file.
    if (fs::exists(status)) {
        fs::permissions(temporary, status.permissions(), error);
    }
    fs::rename(temporary, target, error);
    if (error) {
        *reason = error.message();
        fs::remove(temporary, error);
        return false;
    }
    return true;
}

bool SameFile(const std::string& first, const std::string& second) {
    std::error_code error;
    return fs::equivalent(first, second, error) && !error;
}
