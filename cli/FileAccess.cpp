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

} // namespace

bool ReadWholeFile(const std::string& path, std::vector<std::uint8_t>* bytes, std::string* reason) {
    std::error_code error;
    if (fs::is_directory(path, error)) {
        *reason = "it is a folder";
        return false;
    }
    errno = 0;
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        *reason = ErrnoText();
        return false;
    }
    std::vector<std::uint8_t> content;
    char buffer[4096];
    while (file.read(buffer, sizeof buffer) || file.gcount() > 0) {
        content.insert(content.end(), buffer, buffer + file.gcount());
        if (content.size() > kLargestInput) {
            *reason = "it is too large to be an EDID file";
            return false;
        }
    }
    if (file.bad()) {
        *reason = ErrnoText();
        return false;
    }
    *bytes = std::move(content);
    return true;
}

bool ReplaceFile(const std::string& path, const std::string& bytes, std::string* reason) {
    const fs::path target(path);
    std::error_code error;
    const fs::file_status status = fs::status(target, error);
    if (fs::exists(status) && !fs::is_regular_file(status)) {
        *reason = "it exists and is not a regular file";
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
