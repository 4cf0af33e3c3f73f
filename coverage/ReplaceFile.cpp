#include "coverage/ReplaceFile.h"

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace kestrova {
namespace {

// A name beside the target that no other file has, created empty with the
// permissions an ordinary new file gets (0666 less the umask).
std::string CreateTemporary(const std::string& target, std::string& error) {
    static std::atomic<unsigned> counter{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        const std::string name = target + ".kestrova-" + std::to_string(getpid()) + "-" +
                                 std::to_string(counter.fetch_add(1)) + ".tmp";
        const int fd = open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            close(fd);
            return name;
        }
        if (errno != EEXIST) {
            error = std::strerror(errno);
            return {};
        }
    }
    error = "no free temporary name";
    return {};
}

} // namespace

std::string WriteReplacing(const std::string& target,
                           const std::function<std::string(const std::string&)>& write) {
    std::string error;
    const std::string temporary = CreateTemporary(target, error);
    if (temporary.empty()) return "could not write \"" + target + "\": " + error;
    error = write(temporary);
    if (error.empty() && std::rename(temporary.c_str(), target.c_str()) != 0)
        error = std::strerror(errno);
    if (!error.empty()) {
        std::remove(temporary.c_str());
        return "could not write \"" + target + "\": " + error;
    }
    return {};
}

} // namespace kestrova
