#pragma once

#include "messagesink.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

namespace sheetcraft {

// How the System Info button finds and starts a program; replaceable so the
// search and the launch can be exercised without starting anything.
struct SysInfoLauncher {
    // Full path of a program on the PATH, empty when there is none.
    std::function<QString(const QString &name)> findExecutable;
    // Starts the program detached; false when it could not be started.
    std::function<bool(const QString &program)> startDetached;
};

SysInfoLauncher defaultSysInfoLauncher();

// System-information programs tried on Linux, best first.
QStringList sysInfoCandidates();

// Starts the platform's system-information program: on Windows the one the
// registry names, elsewhere the first candidate found on the PATH. When none
// is found or it cannot be started, shows "System Information Is Unavailable
// At This Time".
void StartSysInfo(MessageSink &messages,
                  const SysInfoLauncher &launcher = defaultSysInfoLauncher());

#ifdef _WIN32
// Reads the string value `SubKeyRef` of `KeyName` under `KeyRoot` into
// `KeyVal`; false (and an empty `KeyVal`) when the key or value cannot be read.
bool GetKeyValue(HKEY KeyRoot, const std::string &KeyName, const std::string &SubKeyRef,
                 std::string &KeyVal);
#endif

} // namespace sheetcraft
