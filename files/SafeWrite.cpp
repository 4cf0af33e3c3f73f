#include "files/SafeWrite.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

namespace kestrova {
namespace {

std::string Message(const std::string& path, const std::string& reason) {
    return "could not write \"" + path + "\": " + reason;
}

std::string DirectoryOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseNameOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// The file a path finally names, following symbolic links (which may point
// to a file not yet made). False, with reason set, for a loop of links or
// one that cannot be read.
bool ResolveLinks(const std::string& path, std::string& target, std::string& reason) {
    target = path;
    for (int depth = 0; depth < 40; ++depth) {
        struct stat info {};
        if (::lstat(target.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) return true;
        char buffer[PATH_MAX];
        const ssize_t length = ::readlink(target.c_str(), buffer, sizeof buffer - 1);
        if (length < 0) {
            reason = std::strerror(errno);
            return false;
        }
        const std::string link(buffer, static_cast<std::size_t>(length));
        target = link.front() == '/' ? link : DirectoryOf(target) + "/" + link;
    }
    reason = "too many levels of symbolic links";
    return false;
}

// "" when path is absent or a regular file, else why it cannot be written.
std::string TargetProblem(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return errno == ENOENT || errno == ENOTDIR ? "" : std::strerror(errno);
    return S_ISREG(info.st_mode) ? "" : "not a regular file";
}

// "" when an existing regular file at path may be replaced: not when it is
// read-only, by its mode or for this user. The rename would replace it all
// the same (it needs only the folder's permission), so the rule is checked
// here, for every kind of output alike.
std::string ReadOnlyProblem(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) return "";
    if ((info.st_mode & S_IWUSR) == 0 || ::access(path.c_str(), W_OK) != 0)
        return "the file is read-only";
    return "";
}

// "" when the folder of path exists and new files may be made in it.
std::string FolderProblem(const std::string& path) {
    const std::string folder = DirectoryOf(path);
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0)
        return "folder \"" + folder + "\" " +
               (errno == ENOENT || errno == ENOTDIR ? std::string("does not exist")
                                                    : std::string(std::strerror(errno)));
    if (!S_ISDIR(info.st_mode)) return "\"" + folder + "\" is not a folder";
    if (::access(folder.c_str(), W_OK | X_OK) != 0)
        return "no permission to make files in folder \"" + folder + "\"";
    return "";
}

// The temporary file's name pattern beside target: ".name.XXXXXX", the name
// shortened so that the whole stays within the longest name a folder
// takes (a legal file name of 250 characters still gets a temporary).
std::string TemporaryPattern(const std::string& target) {
    const std::string folder = DirectoryOf(target);
    long longest = ::pathconf(folder.c_str(), _PC_NAME_MAX);
    if (longest <= 0) longest = NAME_MAX;
    std::string name = BaseNameOf(target);
    const std::size_t room = static_cast<std::size_t>(longest) - 8; // "." and ".XXXXXX"
    if (name.size() > room) name.resize(room);
    return folder + "/." + name + ".XXXXXX";
}

// The batch the writes of this thread join, or null.
thread_local WriteBatch* openBatch = nullptr;

// The temporary files of the writes under way, for the signal handler: a
// fixed table, so that the handler neither allocates nor locks. A slot is
// claimed, filled, then marked ready; the handler reads ready slots only.
struct TemporarySlot {
    std::atomic<bool> claimed{false};
    std::atomic<bool> ready{false};
    char path[PATH_MAX] = {};
};
TemporarySlot temporarySlots[64];

int RegisterTemporary(const std::string& path) {
    if (path.size() >= PATH_MAX) return -1;
    for (int i = 0; i < static_cast<int>(std::size(temporarySlots)); ++i) {
        bool expected = false;
        TemporarySlot& slot = temporarySlots[i];
        if (!slot.claimed.compare_exchange_strong(expected, true)) continue;
        std::memcpy(slot.path, path.c_str(), path.size() + 1);
        slot.ready = true;
        return i;
    }
    return -1; // more writes at once than slots: that one is not cleaned up
}

void UnregisterTemporary(int index) {
    if (index < 0) return;
    temporarySlots[index].ready = false;
    temporarySlots[index].claimed = false;
}

extern "C" void RemoveTemporariesAndDie(int signal) {
    for (TemporarySlot& slot : temporarySlots)
        if (slot.ready) ::unlink(slot.path);
    ::signal(signal, SIG_DFL);
    ::raise(signal);
}

// The permissions of a new file: 0666 less the process's umask, read
// without changing it (umask() would, for a moment, for every thread).
mode_t NewFileMode() {
    mode_t mask = 022;
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("Umask:", 0) == 0) {
            mask = static_cast<mode_t>(std::strtoul(line.c_str() + 6, nullptr, 8));
            break;
        }
    return 0666 & ~mask;
}

bool WriteAll(int fd, std::string_view bytes) {
    errno = 0;
    while (!bytes.empty()) {
        const ssize_t done = ::write(fd, bytes.data(), bytes.size());
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        bytes.remove_prefix(static_cast<std::size_t>(done));
    }
    return true;
}

void SyncDirectory(const std::string& directory) {
    const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd); // best effort: the rename itself has already happened
    ::close(fd);
}

} // namespace

std::string WriteTargetProblem(const std::string& path, std::string* target) {
    std::string resolved;
    std::string reason;
    struct stat info {};
    if (path.empty())
        reason = "no file name";
    else if (::stat(path.c_str(), &info) == 0 && !S_ISREG(info.st_mode))
        reason = "not a regular file"; // /dev/stdout too, whose link leads nowhere
    else if (ResolveLinks(path, resolved, reason) && (reason = TargetProblem(resolved)).empty() &&
             (reason = ReadOnlyProblem(resolved)).empty())
        reason = FolderProblem(resolved);
    if (target) *target = resolved;
    return reason.empty() ? "" : Message(path, reason);
}

AtomicFileWriter::AtomicFileWriter(std::string path) : path_(std::move(path)) {
    if (std::string problem = WriteTargetProblem(path_, &target_); !problem.empty()) {
        outcome_ = {false, std::move(problem)};
        return;
    }
    std::string pattern = TemporaryPattern(target_);
    fd_ = ::mkstemp(pattern.data());
    if (fd_ < 0) {
        Fail(std::strerror(errno));
        return;
    }
    temporary_ = pattern;
    slot_ = RegisterTemporary(temporary_);
    ::fcntl(fd_, F_SETFD, FD_CLOEXEC);
    // The replacement keeps the old file's permissions (and owner, where
    // allowed); a new file gets those a plain create would give it.
    // The permissions are given at Commit: until then the temporary file
    // stays the writer's own (0600), so a library can open it by name.
    struct stat old {};
    if (::stat(target_.c_str(), &old) == 0) {
        mode_ = old.st_mode & 07777;
        if (::fchown(fd_, old.st_uid, old.st_gid) != 0) {
            // Not permitted for an ordinary user: the file becomes theirs.
        }
    } else {
        mode_ = NewFileMode();
    }
}

AtomicFileWriter::~AtomicFileWriter() {
    Discard();
}

void AtomicFileWriter::Fail(const std::string& reason) {
    if (outcome_.ok) outcome_ = {false, Message(path_, reason)};
    Discard();
}

void AtomicFileWriter::Discard() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
    UnregisterTemporary(slot_);
    slot_ = -1;
}

bool AtomicFileWriter::Write(std::string_view bytes) {
    if (!outcome_.ok) return false;
    if (!WriteAll(fd_, bytes)) Fail(std::strerror(errno ? errno : EIO));
    return outcome_.ok;
}

bool AtomicFileWriter::WriteByName(const std::function<std::string(const std::string&)>& write) {
    if (!outcome_.ok) return false;
    ::close(fd_);
    fd_ = -1;
    if (std::string error = write(temporary_); !error.empty()) {
        // A full disk is said as such, not in the library's own words
        // ("TIFFRewriteDirectory: Error fetching directory count").
        struct statvfs space {};
        if (::statvfs(DirectoryOf(target_).c_str(), &space) == 0 && space.f_bavail == 0)
            error = std::strerror(ENOSPC);
        // The user named the target, not the temporary file.
        for (std::size_t at = error.find(temporary_); at != std::string::npos;
             at = error.find(temporary_, at + path_.size()))
            error.replace(at, temporary_.size(), path_);
        Fail(error);
        return false;
    }
    // Opened again for the sync (a library may have made the file anew).
    fd_ = ::open(temporary_.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd_ < 0) {
        Fail(std::strerror(errno));
        return false;
    }
    return true;
}

WriteOutcome AtomicFileWriter::Commit() {
    if (!outcome_.ok) return outcome_;
    if (fd_ < 0) {
        Fail("already written");
        return outcome_;
    }
    ::fchmod(fd_, mode_);
    if (::fsync(fd_) != 0) {
        Fail(std::strerror(errno));
        return outcome_;
    }
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) {
        Fail(std::strerror(errno));
        return outcome_;
    }
    if (openBatch) { // renamed with the batch's other files, or removed
        openBatch->Hold(path_, temporary_, target_, slot_);
        temporary_.clear();
        slot_ = -1; // the batch's now
        return outcome_;
    }
    return Rename();
}

WriteOutcome AtomicFileWriter::Rename() {
    // Checked again just before the rename: a directory or FIFO put in the
    // target's place meanwhile is not replaced either.
    if (const std::string problem = TargetProblem(target_); !problem.empty()) {
        Fail(problem);
        return outcome_;
    }
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) {
        Fail(std::strerror(errno));
        return outcome_;
    }
    temporary_.clear();
    UnregisterTemporary(slot_);
    slot_ = -1;
    SyncDirectory(DirectoryOf(target_));
    return outcome_;
}

WriteBatch::WriteBatch() : previous_(openBatch) {
    openBatch = this;
}

WriteBatch::~WriteBatch() {
    openBatch = previous_;
    for (const Held& held : held_) {
        ::unlink(held.temporary.c_str());
        UnregisterTemporary(held.slot);
    }
}

void WriteBatch::Hold(const std::string& path, const std::string& temporary,
                      const std::string& target, int slot) {
    held_.push_back({path, temporary, target, slot});
}

void RemoveTemporariesOnSignals() {
    struct sigaction action {};
    action.sa_handler = RemoveTemporariesAndDie;
    sigemptyset(&action.sa_mask);
    for (int signal : {SIGINT, SIGTERM, SIGHUP})
        ::sigaction(signal, &action, nullptr);
}

WriteOutcome WriteBatch::Commit() {
    openBatch = previous_;
    WriteOutcome outcome;
    std::vector<std::string> folders;
    for (const Held& held : held_) {
        std::string problem = outcome.ok ? TargetProblem(held.target) : "";
        if (outcome.ok && problem.empty() &&
            ::rename(held.temporary.c_str(), held.target.c_str()) != 0)
            problem = std::strerror(errno);
        if (!problem.empty()) {
            outcome = {false, Message(held.path, problem)};
            ::unlink(held.temporary.c_str());
        } else if (!outcome.ok) {
            ::unlink(held.temporary.c_str());
        } else {
            folders.push_back(DirectoryOf(held.target));
        }
    }
    for (const Held& held : held_)
        UnregisterTemporary(held.slot);
    held_.clear();
    for (const std::string& folder : folders)
        SyncDirectory(folder);
    return outcome;
}

WriteOutcome WriteFileAtomically(const std::string& path, std::string_view bytes) {
    AtomicFileWriter writer(path);
    writer.Write(bytes);
    return writer.Commit();
}

WriteOutcome WriteFileThrough(const std::string& path,
                              const std::function<std::string(const std::string&)>& write) {
    AtomicFileWriter writer(path);
    writer.WriteByName(write);
    return writer.Commit();
}

WriteOutcome AppendToFile(const std::string& path, std::string_view bytes) {
    if (path.empty()) return {false, Message(path, "no file name")};
    if (const std::string problem = TargetProblem(path); !problem.empty())
        return {false, Message(path, problem)};
    // O_NONBLOCK: a FIFO put in place since the check cannot hold the open.
    const int fd = ::open(path.c_str(),
                          O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_CLOEXEC | O_NOCTTY, 0666);
    if (fd < 0) return {false, Message(path, std::strerror(errno))};
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return {false, Message(path, "not a regular file")};
    }
    WriteOutcome outcome;
    if (!WriteAll(fd, bytes) || ::fsync(fd) != 0) {
        outcome = {false, Message(path, std::strerror(errno ? errno : EIO))};
        if (::ftruncate(fd, info.st_size) != 0) {
            // The partial record stays; the message already says the write failed.
        }
    }
    if (::close(fd) != 0 && outcome.ok) outcome = {false, Message(path, std::strerror(errno))};
    return outcome;
}

} // namespace kestrova
