#include "lookupprocess.h"

#include "lookupwire.h"
#include "mdbreader.h"
#include "orderlookup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <sys/prctl.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace sheetcraft {

namespace {

QString &helperOverride() {
    static QString path;
    return path;
}

bool isProgram(const QString &path) {
    const QFileInfo info(path);
    return info.isFile() && info.isExecutable();
}

// A reply is a few hundred bytes; a helper that writes far more is broken.
constexpr qint64 replyLimit = 1 << 20;

LookupOutcome helperFailed() {
    return {LookupOutcome::Status::Failed, mdberr::notADatabase};
}

} // namespace

QString lookupHelperPath() {
    if (!helperOverride().isEmpty())
        return helperOverride();
    const QString name = QStringLiteral("sheetcraft-lookup");
    QStringList candidates;
    if (QCoreApplication::instance()) {
        const QDir programDir(QCoreApplication::applicationDirPath());
        candidates << programDir.filePath(name)
                   << programDir.filePath(QStringLiteral(SHEETCRAFT_LIBEXEC_FROM_BINDIR "/") +
                                          name);
    }
    candidates << QStringLiteral(SHEETCRAFT_LIBEXEC_DIR "/") + name
               << QStringLiteral(SHEETCRAFT_LOOKUP_BUILD_PATH);
    for (const QString &candidate : candidates)
        if (isProgram(candidate))
            return QDir::cleanPath(candidate);
    return {};
}

void setLookupHelperPath(const QString &path) {
    helperOverride() = path;
}

LookupOutcome searchOrdersIsolated(Cells &cells, const std::string &databasePath,
                                   SearchWait *wait) {
    return runLookupHelper(cells, encodeLookupRequest(databasePath, cells), wait);
}

LookupOutcome runLookupHelper(Cells &cells, const QByteArray &request, SearchWait *wait) {
    const QString program = lookupHelperPath();
    if (!isProgram(program))
        return helperFailed();
    QProcess helper;
    // The database library's complaints about damaged files are not the user's concern.
    helper.setStandardErrorFile(QProcess::nullDevice());
    QObject::connect(&helper, &QProcess::readyReadStandardOutput, [&helper] {
        if (helper.bytesAvailable() > replyLimit)
            helper.kill();
    });
    // The helper dies with this thread, however it ends, SIGKILL included;
    // should this thread have died before the helper took that up, the
    // helper's parent is already another and it leaves at once.
    const pid_t caller = ::getpid();
    helper.setChildProcessModifier([caller] {
        if (::prctl(PR_SET_PDEATHSIG, SIGKILL) != 0 || ::getppid() != caller)
            ::_exit(127);
    });
    helper.start(program, {});
    if (!helper.waitForStarted(-1)) {
        // The helper is there, so the system refused: too few descriptors for
        // the helper's pipes (it takes six at most), else no memory or process.
        int probes[6];
        int opened = 0;
        while (opened < 6 && (probes[opened] = ::dup(STDIN_FILENO)) >= 0)
            ++opened;
        const bool noFiles = opened < 6 && (errno == EMFILE || errno == ENFILE);
        while (opened > 0)
            ::close(probes[--opened]);
        const int number = noFiles ? lookuperr::tooManyFiles : lookuperr::outOfMemory;
        return {LookupOutcome::Status::Failed, number};
    }
    helper.write(request);
    helper.closeWriteChannel();

    if (!helper.waitForFinished(static_cast<int>(searchProgressDelay.count())) &&
        helper.state() != QProcess::NotRunning) {
        bool givenUp = false;
        if (wait)
            givenUp = !wait->waitForHelper(helper);
        else
            helper.waitForFinished(-1);
        if (givenUp || helper.state() != QProcess::NotRunning) {
            // Given up: whatever the helper would have found changes nothing.
            helper.kill();
            helper.waitForFinished(-1);
            return {LookupOutcome::Status::Cancelled, 0};
        }
    }

    LookupOutcome outcome;
    if (helper.exitStatus() != QProcess::NormalExit || helper.exitCode() != 0 ||
        !decodeLookupReply(helper.readAllStandardOutput(), outcome, cells))
        return helperFailed();
    return outcome;
}

} // namespace sheetcraft
