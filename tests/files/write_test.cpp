// Every file the program writes, written where it cannot be: a full disk (a
// file-size limit), a FIFO, a folder, a device. Each writer runs in a child
// process, so the limit and a writer that blocks stay there.

#include "mdbwriter.h"
#include "reportoutput.h"
#include "safewrite.h"
#include "settingsfiles.h"

#include <gtest/gtest.h>

#include <QGuiApplication>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>

namespace sheetcraft {
namespace {

namespace fs = std::filesystem;

// A fresh folder for one test, removed with everything in it afterwards.
struct TempFolder {
    std::string pattern = (fs::temp_directory_path() / "writesXXXXXX").string();
    const fs::path path{::mkdtemp(pattern.data())};
    ~TempFolder() {
        std::error_code ec;
        fs::remove_all(path, ec);
    }
};

std::string readFile(const fs::path &path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void writeFile(const fs::path &path, const std::string &bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

std::vector<std::string> entries(const fs::path &folder) {
    std::vector<std::string> names;
    for (const auto &entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Says every message on standard error, where the parent reads it; the exit
// status is 1 when there was anything to say.
int sayOnStderr(const sheetcraft::Outcome &said) {
    for (const std::string &text : messageTexts(said))
        std::fprintf(stderr, "%s\n", text.c_str());
    return said.saysNothing() ? 0 : 1;
}

struct ChildRun {
    int status = -1; // exit status, or -1 when the child was killed
    std::string said;
};

// Runs `write` in a child with the file-size limit and SIGXFSZ ignored (so a
// write past the limit fails instead of ending the process), its standard
// error collected. The child is killed if it is still running after 30 s.
ChildRun inChild(rlim_t fileSizeLimit, const std::function<int()> &write) {
    int fds[2];
    if (::pipe(fds) != 0)
        return {};
    std::fflush(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        ::dup2(fds[1], STDERR_FILENO);
        ::close(fds[0]);
        ::signal(SIGXFSZ, SIG_IGN);
        ::alarm(30);
        const rlimit limit{fileSizeLimit, fileSizeLimit};
        ::setrlimit(RLIMIT_FSIZE, &limit);
        std::fflush(stderr);
        ::_exit(write());
    }
    ::close(fds[1]);
    ChildRun outcome;
    char buffer[4096];
    for (ssize_t n; (n = ::read(fds[0], buffer, sizeof buffer)) > 0;)
        outcome.said.append(buffer, static_cast<std::size_t>(n));
    ::close(fds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status))
        outcome.status = WEXITSTATUS(status);
    return outcome;
}

int runTool(std::vector<std::string> args) {
    std::vector<char *> argv;
    for (std::string &arg : args)
        argv.push_back(arg.data());
    argv.push_back(nullptr);
    // The programs must ignore the file-size signal themselves.
    ::signal(SIGXFSZ, SIG_DFL);
    ::execv(argv[0], argv.data());
    return 127;
}

Cells reportCells() {
    Cells cells;
    cells.txtFSS = "3x2", cells.txtPSS = "17x11", cells.txtPARS = "35x23";
    return cells;
}

struct Writer {
    const char *name;
    const char *fileName; // in the settings folder
    int failStatus;
    // Writes the file at `path`; returns the process's exit status.
    std::function<int(const std::string &path, const std::string &description)> write;
};

const Writer writers[] = {
    {"location file", locationFileName, 1,
     [](const std::string &, const std::string &) {
         return sayOnStderr(writeLocationFile(QString(300, 'd'), QString(300, 'e')));
     }},
    {"mode file", modeFileName, 1,
     [](const std::string &, const std::string &) { return sayOnStderr(writeModeFile('T')); }},
    {"report", "report.pdf", 1,
     [](const std::string &path, const std::string &) {
         return sayOnStderr(writeReportPdf(reportCells(), {1, 1}, QString::fromStdString(path)));
     }},
    {"fixture writer", "orders.mdb", 1,
     [](const std::string &path, const std::string &) {
         try {
             writeMdbFile(path, {{"Orders", {{"OrderNo", MdbColumnType::Text, 8}}, {{"123"}}}});
             return 0;
         } catch (const MdbWriteError &e) {
             std::fprintf(stderr, "%s\n", e.what());
             return 1;
         }
     }},
    {"calculator --report", "calc.pdf", 6,
     [](const std::string &path, const std::string &) {
         return runTool({CALC_BINARY, "--report", path});
     }},
    {"calculator --cut-plan", "plan.pdf", 6,
     [](const std::string &path, const std::string &) {
         return runTool({CALC_BINARY, "--cut-plan", path});
     }},
    {"mdbfixture", "fixture.mdb", 1,
     [](const std::string &path, const std::string &description) {
         return runTool({MDBFIXTURE_BINARY, description, path});
     }},
};

// Each writer against each target it must not harm: it reports failure with
// the reason, the target is as it was and no temporary file is left beside it.
TEST(FailedWrites, KeepTheOldFileAndLeaveNoTemporary) {
    // Fonts are loaded here once, so the children only draw.
    sheetcraft::Outcome said;
    const auto content = prepareReport(reportCells(), {1, 1}, said);
    ASSERT_TRUE(content);
    ASSERT_FALSE(renderReportPdf(reportCells(), {1, 1}, *content).isEmpty());
    const std::string oldBytes = "the old file, whole\r\n";
    using Path = const fs::path &;
    const struct {
        const char *reason;
        std::function<void(Path)> make;
        std::function<bool(Path)> asItWas;
        rlim_t limit = RLIM_INFINITY;
    } targets[] = {
        // Smaller than anything written: the first write is cut short, the next fails.
        {"File too large", [&](Path p) { writeFile(p, oldBytes); },
         [&](Path p) { return readFile(p) == oldBytes; }, 2},
        {"Not a regular file", [](Path p) { ::mkfifo(p.c_str(), 0600); },
         [](Path p) { return fs::is_fifo(fs::symlink_status(p)); }},
        {"Is a directory", [](Path p) { fs::create_directory(p); },
         [](Path p) { return fs::is_empty(p); }},
        {"Not a regular file", [](Path p) { fs::create_symlink("/dev/null", p); },
         [](Path p) {
             return fs::is_symlink(fs::symlink_status(p)) && fs::is_character_file("/dev/null");
         }},
    };
    for (const Writer &writer : writers) {
        for (const auto &t : targets) {
            SCOPED_TRACE(std::string(writer.name) + ", reason " + t.reason);
            TempFolder dir;
            const fs::path settings = dir.path / "sheetcraft", target = settings / writer.fileName;
            const fs::path description = dir.path / "description.txt";
            writeFile(description, "table Orders\ncolumn OrderNo Text(8)\nrow 123\n");
            fs::create_directory(settings);
            t.make(target);
            const ChildRun out = inChild(t.limit, [&] {
                ::setenv("XDG_CONFIG_HOME", dir.path.c_str(), 1);
                return writer.write(target.string(), description.string());
            });
            EXPECT_EQ(out.status, writer.failStatus) << out.said;
            EXPECT_NE(out.said.find(t.reason), std::string::npos) << out.said;
            EXPECT_EQ(entries(settings), std::vector<std::string>{writer.fileName});
            EXPECT_TRUE(t.asItWas(target));
        }
    }
}

// A link writes the file it points to, relative links too, and leaves the
// link in place; a replaced file keeps its permissions, a new one gets the
// user's usual ones.
TEST(SafeWrite, LinksWriteTheirTargetAndPermissionsStay) {
    TempFolder dir;
    const fs::path real = dir.path / "real.txt", link = dir.path / "sub" / "link.txt";
    fs::create_directory(dir.path / "sub");
    writeFile(real, "old");
    fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    fs::create_symlink("../real.txt", link);
    EXPECT_EQ(writeFileSafely(link.string(), "new bytes"), "");
    EXPECT_TRUE(fs::is_symlink(fs::symlink_status(link)));
    EXPECT_EQ(readFile(real), "new bytes");
    EXPECT_EQ(fs::status(real).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);

    const mode_t old = ::umask(027);
    EXPECT_EQ(writeFileSafely((dir.path / "new.txt").string(), ""), "");
    ::umask(old);
    EXPECT_EQ(fs::status(dir.path / "new.txt").permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    EXPECT_EQ(readFile(dir.path / "new.txt"), "");

    // A new file needs its folder; a link to nowhere creates the file it names.
    EXPECT_EQ(writeFileSafely((dir.path / "none" / "x.txt").string(), "x"),
              "No such file or directory");
    fs::create_symlink("later.txt", dir.path / "dangling");
    EXPECT_EQ(writeFileSafely((dir.path / "dangling").string(), "made"), "");
    EXPECT_EQ(readFile(dir.path / "later.txt"), "made");
    EXPECT_EQ(entries(dir.path),
              (std::vector<std::string>{"dangling", "later.txt", "new.txt", "real.txt", "sub"}));
}

} // namespace
} // namespace sheetcraft
