// Every file the program writes goes through here, so that a failure never
// destroys what was there and a write never touches what it was not asked
// to.
//
// Replacing a file (WriteFileAtomically, AtomicFileWriter): the new content
// goes to a temporary file of a unique name (mkstemp) in the target's own
// directory, is flushed and synced to disk, and only then renamed over the
// target. The target must be absent or a regular file: a symbolic link is
// followed and the file it points to is replaced (the link stays a link); a
// directory, FIFO, device or socket is refused with "not a regular file"
// and left untouched. A replaced file keeps its permissions. On any failure
// the old file is left whole and the temporary file is removed.
//
// Appending (AppendToFile): the bytes are added at the end of the file,
// which is created when absent and never truncated; the same rule about
// regular files holds. When the bytes cannot all be written, the file is cut
// back to its old length, so it never ends in half a record.
//
// A target that exists and is read-only (no write permission for its owner,
// or none for this user) is refused with "the file is read-only", whatever
// the kind of output: the rename would replace it, but a file its owner
// marked read-only is kept.
//
// A batch (WriteBatch) makes several outputs all or none: while it is open,
// each committed replacement waits beside its target until the batch
// commits, and is removed if the batch is dropped.
//
// Messages name the file the user gave, never the temporary one: "could not
// write \"out.csv\": not a regular file".
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace kestrova {

// The outcome of a write: ok, or the message saying what went wrong.
struct WriteOutcome {
    bool ok = true;
    std::string message;
    explicit operator bool() const { return ok; }
};

// Why path cannot be replaced, as the message of a failed write, or "":
// it is not a regular file, it is read-only, or its folder is missing, not
// a folder or closed to new files. Checks what a write would check first, so
// that a command can refuse its outputs before its work. When target is
// given it receives the file path finally names (symbolic links followed).
std::string WriteTargetProblem(const std::string& path, std::string* target = nullptr);

// Makes SIGINT, SIGTERM and SIGHUP remove the temporary files of the
// writes under way (and of an open batch) before the process ends of the
// signal as it would have: Ctrl-C during a long write leaves no
// ".name.XXXXXX" behind. For a program's main; a command-line tool's.
void RemoveTemporariesOnSignals();

// Replaces the file at path with bytes.
WriteOutcome WriteFileAtomically(const std::string& path, std::string_view bytes);

// Adds bytes at the end of the file at path.
WriteOutcome AppendToFile(const std::string& path, std::string_view bytes);

// Replaces the file at path with what write(temporaryPath) puts in the
// temporary file by name, for a library that opens its output itself (the
// zip writer, GDAL). write returns "" or what went wrong; it never runs when
// the target is refused.
WriteOutcome WriteFileThrough(const std::string& path,
                              const std::function<std::string(const std::string&)>& write);

// A replacement written piece by piece, for content too large to hold in
// memory at once: Write as often as needed, then Commit. Without a
// successful Commit (an error, or destruction) the target stays as it was
// and the temporary file is removed.
class AtomicFileWriter {
public:
    explicit AtomicFileWriter(std::string path);
    ~AtomicFileWriter();
    AtomicFileWriter(const AtomicFileWriter&) = delete;
    AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

    // False once anything has failed (Outcome() says what).
    bool Write(std::string_view bytes);
    // Lets write(temporaryPath) fill the temporary file by name instead.
    bool WriteByName(const std::function<std::string(const std::string&)>& write);
    // Syncs the temporary file and renames it over the target.
    WriteOutcome Commit();
    const WriteOutcome& Outcome() const { return outcome_; }

private:
    void Fail(const std::string& reason);
    void Discard();
    WriteOutcome Rename();

    std::string path_;   // as given, for messages
    std::string target_; // the file to replace, symbolic links resolved
    std::string temporary_;
    int fd_ = -1;
    mode_t mode_ = 0600; // the replacement's permissions, given at Commit
    int slot_ = -1;      // in the table of temporaries removed on a signal
    WriteOutcome outcome_;
};

// The replacements committed on this thread while a batch is open are made
// together: Commit renames each over its target; a batch dropped without
// Commit (an error on the way) removes them and every target stays as it
// was. Batches nest; the innermost one open collects.
class WriteBatch {
public:
    WriteBatch();
    ~WriteBatch();
    WriteBatch(const WriteBatch&) = delete;
    WriteBatch& operator=(const WriteBatch&) = delete;

    // Renames every file held; the first failure's message (the files
    // after it are then removed, those before it stay replaced).
    WriteOutcome Commit();
    // A replacement written in full, synced and closed, waiting to be
    // renamed over target (path as the user gave it, for messages).
    void Hold(const std::string& path, const std::string& temporary, const std::string& target,
              int slot);

private:
    struct Held {
        std::string path;
        std::string temporary;
        std::string target;
        int slot; // in the table of temporaries removed on a signal
    };
    std::vector<Held> held_;
    WriteBatch* previous_ = nullptr;
};

} // namespace kestrova
