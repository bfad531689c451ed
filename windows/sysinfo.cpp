#include "sysinfo.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

namespace sheetcraft {

namespace {
const char *unavailableText =
    QT_TRANSLATE_NOOP("sheetcraft::frmAbout", "System Information Is Unavailable At This Time");

std::string unavailable() {
    return QCoreApplication::translate("sheetcraft::frmAbout", unavailableText).toStdString();
}
} // namespace

SysInfoLauncher defaultSysInfoLauncher() {
    SysInfoLauncher launcher;
    launcher.findExecutable = [](const QString &name) {
        return QStandardPaths::findExecutable(name);
    };
    launcher.startDetached = [](const QString &program) {
        return QProcess::startDetached(program, {});
    };
    return launcher;
}

QStringList sysInfoCandidates() {
    return {QStringLiteral("hardinfo"), QStringLiteral("hardinfo2"), QStringLiteral("kinfocenter"),
            QStringLiteral("gnome-system-monitor")};
}

#ifdef _WIN32

bool GetKeyValue(HKEY KeyRoot, const std::string &KeyName, const std::string &SubKeyRef,
                 std::string &KeyVal) {
    KeyVal.clear();
    HKEY key = nullptr;
    if (RegOpenKeyExA(KeyRoot, KeyName.c_str(), 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS)
        return false;
    char buffer[1024] = {};
    DWORD type = 0;
    DWORD size = sizeof(buffer);
    if (RegQueryValueExA(key, SubKeyRef.c_str(), nullptr, &type, reinterpret_cast<BYTE *>(buffer),
                         &size) != ERROR_SUCCESS) {
        RegCloseKey(key);
        return false;
    }
    if (size > 0 && buffer[size - 1] == '\0')
        --size;
    if (type == REG_SZ)
        KeyVal.assign(buffer, size);
    RegCloseKey(key);
    return true;
}

void StartSysInfo(MessageSink &messages, const SysInfoLauncher &launcher) {
    std::string path;
    if (GetKeyValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO", "PATH",
                    path)) {
        if (launcher.startDetached(QString::fromLocal8Bit(path.c_str())))
            return;
    } else if (GetKeyValue(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Shared Tools Location",
                           "MSINFO", path)) {
        const QString program =
            QString::fromLocal8Bit(path.c_str()) + QStringLiteral("\\MSINFO32.EXE");
        if (QFileInfo::exists(program) && launcher.startDetached(program))
            return;
    }
    messages.message(unavailable());
}

#else

void StartSysInfo(MessageSink &messages, const SysInfoLauncher &launcher) {
    for (const QString &name : sysInfoCandidates()) {
        const QString program = launcher.findExecutable(name);
        if (program.isEmpty())
            continue;
        // Only the first program found is tried; a failed start is reported.
        if (launcher.startDetached(program))
            return;
        break;
    }
    messages.message(unavailable());
}

#endif

} // namespace sheetcraft
