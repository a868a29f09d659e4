#pragma once
// The process tests re-run their own executable as the second process: with ZOR_PROCESS_HELPER
// set, a static initialiser runs the asked-for role and ends the process before any test starts.
//
// Roles (ZOR_PROCESS_HELPER=<role>, ZOR_PROCESS_KEY=<key>):
//   guard-hold  take the guard, print "HELD" (or "REFUSED", exit 3), then wait until stdin closes
//   guard-try   take the guard, print "HELD" (exit 0) or "REFUSED" (exit 3)
//   shm-read    attach the block, print "<MD5> <size>" (exit 4 on failure)
//   restart     replace itself by /usr/bin/env with ZOR_RESTART_MARK=42 added (exit 5 on failure)
#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>

namespace zortest {

// Runs this executable in a role and returns what it printed (stdout) and its exit code; the child
// is killed when it has not ended within boundMs.
struct HelperResult {
    QByteArray out;
    int exitCode = -1;
    bool finished = false;
};
HelperResult runHelper(const QString& role, const QString& key, int boundMs = 20000);
QString selfPath();
// The environment that makes this executable run a role (for a child the test drives itself).
QProcessEnvironment helperEnvironment(const QString& role, const QString& key);
// A key no other test run uses at the same time.
QString uniqueKey(const char* what);

}  // namespace zortest
