// The one writer of every output file: what it replaces, what it refuses,
// and that a failure leaves the old file whole with no temporary file
// behind.
#include "files/SafeWrite.h"

#include "TempDir.h"
#include "Timeout.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kestrova {
namespace {

namespace fs = std::filesystem;
using test::TempDir;

std::string Read(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The names in a directory, sorted: no temporary file may be left.
std::vector<std::string> Entries(const TempDir& dir) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Lowers the largest file this process may write, so that a write fails
// part-way (EFBIG instead of the SIGXFSZ that would end the test).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler = std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &previous);
        rlimit limit = previous;
        limit.rlim_cur = bytes;
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &previous);
        std::signal(SIGXFSZ, previousHandler);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit previous{};
    void (*previousHandler)(int) = nullptr;
};

// What each kind of target becomes: replaced (followed through a link) or
// refused and left as it was. No temporary file stays in any case.
TEST(WriteFileAtomically, TargetsByKind) {
    struct Case {
        const char* name;
        std::function<void(const TempDir&)> make; // the target "out" (and its link target)
        bool written;
        const char* message; // part of the refusal
    };
    const Case cases[] = {
        {"absent", [](const TempDir&) {}, true, ""},
        {"regular file", [](const TempDir& d) { d.Write("out", "old"); }, true, ""},
        {"link to a file",
         [](const TempDir& d) {
             d.Write("real", "old");
             fs::create_symlink("real", d.Path("out"));
         },
         true, ""},
        {"dangling link", [](const TempDir& d) { fs::create_symlink("real", d.Path("out")); }, true,
         ""},
        {"directory", [](const TempDir& d) { fs::create_directory(d.Path("out")); }, false,
         "not a regular file"},
        {"FIFO", [](const TempDir& d) { ASSERT_EQ(mkfifo(d.Path("out").c_str(), 0600), 0); }, false,
         "not a regular file"},
        {"link to a FIFO",
         [](const TempDir& d) {
             ASSERT_EQ(mkfifo(d.Path("real").c_str(), 0600), 0);
             fs::create_symlink("real", d.Path("out"));
         },
         false, "not a regular file"},
        {"link loop", [](const TempDir& d) { fs::create_symlink("out", d.Path("out")); }, false,
         "symbolic links"},
        // As /dev/stdout on a pipe: a link to /proc/self/fd/N, whose own
        // link ("pipe:[123]") leads nowhere.
        {"link to a pipe's descriptor",
         [](const TempDir& d) {
             static int ends[2] = {-1, -1};
             if (ends[0] < 0) {
                 ASSERT_EQ(::pipe(ends), 0);
             }
             fs::create_symlink("/proc/self/fd/" + std::to_string(ends[0]), d.Path("out"));
         },
         false, "not a regular file"},
        {"read-only file",
         [](const TempDir& d) {
             d.Write("out", "old");
             fs::permissions(d.Path("out"), fs::perms::owner_read | fs::perms::group_read |
                                                fs::perms::others_read);
         },
         false, "the file is read-only"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempDir dir;
        c.make(dir);
        const auto before = Entries(dir);
        const std::string out = dir.Path("out");
        const auto kind = fs::symlink_status(out).type();
        const WriteOutcome outcome = WriteFileAtomically(out, "new content");
        EXPECT_EQ(outcome.ok, c.written) << outcome.message;
        EXPECT_EQ(fs::symlink_status(out).type(), c.written && kind == fs::file_type::not_found
                                                      ? fs::file_type::regular
                                                      : kind); // a link stays a link
        if (c.written) {
            EXPECT_EQ(Read(out), "new content");
        } else {
            EXPECT_NE(outcome.message.find("could not write \"" + out + "\""), std::string::npos);
            EXPECT_NE(outcome.message.find(c.message), std::string::npos) << outcome.message;
            EXPECT_EQ(Entries(dir), before);
        }
        if (fs::exists(dir.Path("real")) && fs::is_regular_file(dir.Path("real"))) {
            EXPECT_EQ(Read(dir.Path("real")), "new content");
        }
        for (const std::string& name : Entries(dir))
            EXPECT_TRUE(name == "out" || name == "real") << name;
    }
}

// Where a target's folder cannot take it, the write is refused naming the
// target and the folder; a name as long as the folder allows is written
// (its temporary file's name is shortened to fit).
TEST(WriteTargetProblem, FoldersAndLongNames) {
    TempDir dir;
    dir.Write("file", "x");
    struct Case {
        std::string path;
        const char* message; // "" when it can be written
    };
    const Case cases[] = {
        {dir.Path("missing/out.csv"), "does not exist"},
        {dir.Path("file/out.csv"), "is not a folder"},
        {dir.Path(std::string(250, 'a')), ""},
        {dir.Path(std::string(255, 'b')), ""},
        {dir.Path("plain.csv"), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path.substr(c.path.rfind('/')));
        const std::string problem = WriteTargetProblem(c.path);
        const WriteOutcome outcome = WriteFileAtomically(c.path, "new");
        if (*c.message) {
            EXPECT_NE(problem.find("could not write \"" + c.path + "\""), std::string::npos)
                << problem;
            EXPECT_NE(problem.find(c.message), std::string::npos) << problem;
            EXPECT_FALSE(outcome.ok);
            EXPECT_EQ(outcome.message, problem);
        } else {
            EXPECT_EQ(problem, "");
            EXPECT_TRUE(outcome.ok) << outcome.message;
            EXPECT_EQ(Read(c.path), "new");
        }
    }
    for (const std::string& name : Entries(dir))
        EXPECT_NE(name.front(), '.') << "temporary file left: " << name;
}

// A batch makes its writes all or none: dropped, it leaves every target as
// it was and no temporary file; committed, it replaces them all.
TEST(WriteBatch, AllOrNone) {
    TempDir dir;
    dir.Write("a.csv", "old a");
    {
        WriteBatch batch;
        ASSERT_TRUE(WriteFileAtomically(dir.Path("a.csv"), "new a"));
        ASSERT_TRUE(WriteFileAtomically(dir.Path("b.png"), "new b"));
        EXPECT_EQ(Read(dir.Path("a.csv")), "old a"); // nothing replaced yet
        EXPECT_FALSE(fs::exists(dir.Path("b.png")));
        // A later output fails: the command gives up without Commit.
        EXPECT_FALSE(WriteFileAtomically(dir.Path("missing/c.kmz"), "new c"));
    }
    EXPECT_EQ(Read(dir.Path("a.csv")), "old a");
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"a.csv"});
    {
        WriteBatch batch;
        ASSERT_TRUE(WriteFileAtomically(dir.Path("a.csv"), "new a"));
        ASSERT_TRUE(WriteFileThrough(dir.Path("b.png"), [](const std::string& temporary) {
            std::ofstream(temporary) << "new b";
            return std::string();
        }));
        ASSERT_TRUE(batch.Commit());
    }
    EXPECT_EQ(Read(dir.Path("a.csv")), "new a");
    EXPECT_EQ(Read(dir.Path("b.png")), "new b");
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"a.csv", "b.png"}));
}

// Interrupted during a write (Ctrl-C, kill): the temporary files of the
// writes under way, and of a batch not yet committed, are removed; the
// process still ends of the signal; the old file is whole.
TEST(RemoveTemporariesOnSignals, NoTemporaryLeftAfterAnInterrupt) {
    for (const int signal : {SIGINT, SIGTERM}) {
        for (const bool batch : {false, true}) {
            SCOPED_TRACE(std::to_string(signal) + (batch ? " in a batch" : ""));
            TempDir dir;
            dir.Write("big.csv", "old");
            const pid_t child = ::fork();
            ASSERT_GE(child, 0);
            if (child == 0) {
                RemoveTemporariesOnSignals();
                WriteBatch held;
                if (batch) WriteFileAtomically(dir.Path("done.csv"), "written, not renamed");
                AtomicFileWriter writer(dir.Path("big.csv"));
                writer.Write("half of it");
                ::raise(signal);
                ::_exit(0); // not reached
            }
            int status = 0;
            ASSERT_EQ(::waitpid(child, &status, 0), child);
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << status;
            EXPECT_EQ(Entries(dir), std::vector<std::string>{"big.csv"});
            EXPECT_EQ(Read(dir.Path("big.csv")), "old");
        }
    }
}

// A library's message that names the temporary file names the target.
TEST(WriteFileThrough, MessagesNameTheTargetNotTheTemporary) {
    TempDir dir;
    const WriteOutcome outcome =
        WriteFileThrough(dir.Path("map.kmz"), [](const std::string& temporary) {
            return "error in creating " + temporary;
        });
    EXPECT_FALSE(outcome.ok);
    EXPECT_EQ(outcome.message, "could not write \"" + dir.Path("map.kmz") +
                                   "\": error in creating " + dir.Path("map.kmz"));
    EXPECT_TRUE(Entries(dir).empty());
}

// A file of the temporary name the old writer used is someone's file: it
// stays, and so do the permissions of the file replaced.
TEST(WriteFileAtomically, LeavesOtherFilesAndKeepsPermissions) {
    TempDir dir;
    dir.Write("x.csv.tmp", "not ours");
    dir.Write("x.csv", "old");
    fs::permissions(dir.Path("x.csv"),
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    ASSERT_TRUE(WriteFileAtomically(dir.Path("x.csv"), "new"));
    EXPECT_EQ(Read(dir.Path("x.csv.tmp")), "not ours");
    EXPECT_EQ(Read(dir.Path("x.csv")), "new");
    EXPECT_EQ(fs::status(dir.Path("x.csv")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Entries(dir), (std::vector<std::string>{"x.csv", "x.csv.tmp"}));
}

TEST(WriteFileAtomically, AFailedWriteLeavesTheOldFileWhole) {
    TempDir dir;
    dir.Write("out", "old content");
    {
        const FileSizeLimit limit(1000);
        const WriteOutcome outcome = WriteFileAtomically(dir.Path("out"), std::string(5000, 'x'));
        EXPECT_FALSE(outcome.ok);
        EXPECT_NE(outcome.message.find("could not write"), std::string::npos);
    }
    EXPECT_EQ(Read(dir.Path("out")), "old content");
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"out"});

    const WriteOutcome nowhere = WriteFileAtomically(dir.Path("missing/out"), "x");
    EXPECT_FALSE(nowhere.ok);
    EXPECT_NE(nowhere.message.find("folder \"" + dir.Path("missing") + "\" does not exist"),
              std::string::npos)
        << nowhere.message;
}

TEST(AtomicFileWriter, NothingChangesWithoutCommit) {
    TempDir dir;
    dir.Write("out", "old");
    {
        AtomicFileWriter writer(dir.Path("out"));
        EXPECT_TRUE(writer.Write("first "));
        EXPECT_TRUE(writer.Write("part"));
    }
    EXPECT_EQ(Read(dir.Path("out")), "old");
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"out"});

    AtomicFileWriter writer(dir.Path("out"));
    writer.Write("first ");
    writer.Write("part");
    ASSERT_TRUE(writer.Commit());
    EXPECT_EQ(Read(dir.Path("out")), "first part");
    EXPECT_FALSE(writer.Commit()); // once only
}

// A library that writes its output by name (the zip writer, GDAL) writes
// into the temporary beside the target: a writer failing half-way leaves
// the earlier file whole and no temporary behind; a refused target never
// runs the writer.
TEST(WriteFileThrough, ByNameBesideTheTarget) {
    const TempDir dir;
    const std::string target = dir.Path("coverage.kmz");
    dir.Write("coverage.kmz", "earlier");
    const WriteOutcome failed = WriteFileThrough(target, [&](const std::string& temporary) {
        EXPECT_EQ(fs::path(temporary).parent_path(), dir.Path());
        std::ofstream(temporary) << "half a fi";
        return std::string("error in writing doc.kml in the zipfile");
    });
    EXPECT_FALSE(failed);
    EXPECT_EQ(failed.message,
              "could not write \"" + target + "\": error in writing doc.kml in the zipfile");
    EXPECT_EQ(Read(target), "earlier");
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"coverage.kmz"});

    // A writer that replaces the temporary file with one of its own.
    ::chmod(target.c_str(), 0640);
    EXPECT_TRUE(WriteFileThrough(target, [](const std::string& temporary) {
        fs::remove(temporary);
        std::ofstream(temporary) << "new";
        return std::string();
    }));
    EXPECT_EQ(Read(target), "new");
    EXPECT_EQ(fs::status(target).permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(Entries(dir), std::vector<std::string>{"coverage.kmz"});

    bool ran = false;
    const auto writer = [&](const std::string&) {
        ran = true;
        return std::string();
    };
    EXPECT_FALSE(WriteFileThrough(dir.Path("missing/coverage.tif"), writer));
    ::mkfifo(dir.Path("fifo.tif").c_str(), 0600);
    EXPECT_FALSE(WriteFileThrough(dir.Path("fifo.tif"), writer));
    EXPECT_FALSE(ran);
}

TEST(AppendToFile, AppendsAndNeverTruncates) {
    TempDir dir;
    const std::string results = dir.Path("results.dat");
    ASSERT_TRUE(AppendToFile(results, "one\n"));
    ASSERT_TRUE(AppendToFile(results, "two\n"));
    EXPECT_EQ(Read(results), "one\ntwo\n");

    // Through a link, into the file it names.
    fs::create_symlink("results.dat", dir.Path("link.dat"));
    ASSERT_TRUE(AppendToFile(dir.Path("link.dat"), "three\n"));
    EXPECT_EQ(Read(results), "one\ntwo\nthree\n");
    EXPECT_TRUE(fs::is_symlink(dir.Path("link.dat")));

    // A record that cannot be written whole is taken back.
    {
        const FileSizeLimit limit(20);
        EXPECT_FALSE(AppendToFile(results, "a record too long for the limit\n"));
    }
    EXPECT_EQ(Read(results), "one\ntwo\nthree\n");
}

TEST(AppendToFile, RefusesWhatIsNotARegularFile) {
    TempDir dir;
    fs::create_directory(dir.Path("folder"));
    ASSERT_EQ(mkfifo(dir.Path("fifo").c_str(), 0600), 0);
    for (const char* name : {"folder", "fifo"}) {
        SCOPED_TRACE(name);
        const std::string path = dir.Path(name);
        // Without a reader a FIFO would block an open for writing: it must
        // be refused at once.
        EXPECT_TRUE(test::FinishesWithin(5, [&] {
            const WriteOutcome outcome = AppendToFile(path, "x");
            return !outcome.ok && outcome.message.find("not a regular file") != std::string::npos;
        }));
    }
    EXPECT_TRUE(fs::is_fifo(dir.Path("fifo")));
    EXPECT_TRUE(fs::is_directory(dir.Path("folder")));
}

} // namespace
} // namespace kestrova
