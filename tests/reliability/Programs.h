#pragma once
// The programs the reliability tests start beside themselves: kadomel-cli as a script runs it, and
// the driver that acts as another copy of the program (reliability_driver, see driver/main.cpp).
#include "TestDatabase.h"

#include <memory>
#include <QElapsedTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QStringList>
#include <QThread>

struct Finished
{
    int exitCode = -1; // -1 when the program crashed or did not end in time
    QString out;
    QString err;
};

// Waits up to `ms` for the program and returns what it said.
inline Finished finish(QProcess &p, int ms = 110000)
{
    if (!p.waitForFinished(ms)) {
        p.kill();
        p.waitForFinished();
    }
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1,
            QString::fromUtf8(p.readAllStandardOutput()), QString::fromUtf8(p.readAllStandardError())};
}

// A fresh test database that the configuration file of its home folder names, for kadomel-cli.
inline std::unique_ptr<TestDatabase> databaseForCli()
{
    auto t = std::make_unique<TestDatabase>();
    if (t->ok())
        t->writeConnectionSettings();
    return t;
}

// Runs kadomel-cli on the test database's home folder (whose configuration names the database).
inline Finished runCli(const TestDatabase &t, const QStringList &arguments)
{
    QProcess p;
    p.start(QStringLiteral(KADOMEL_CLI), QStringList{QStringLiteral("--home"), t.folder()} + arguments);
    return finish(p);
}

// What the driver takes for WHERE: the SQLite folder or the PostgreSQL address of the test database.
inline QString driverWhere(const TestDatabase &t)
{
    return t.isPostgres() ? qEnvironmentVariable("KADOMEL_TEST_PG") : t.localFolder();
}

inline void startDriver(QProcess &p, const QStringList &arguments)
{
    p.start(QStringLiteral(KADOMEL_RELIABILITY_DRIVER), arguments);
}

// Waits until the program has printed "ready" (and so holds its connection); false when it ended
// first. The lines before it are added to `earlier`.
inline bool waitUntilReady(QProcess &p, QString &earlier)
{
    for (;;) {
        if (p.canReadLine()) {
            const QString line = QString::fromUtf8(p.readLine());
            if (line.trimmed() == QLatin1String("ready"))
                return true;
            earlier += line;
        } else if (!p.waitForReadyRead(60000)) {
            return false;
        }
    }
}

// How many times a command is killed, and where the kills fell: before it wrote anything, during
// its work, or after it ended.
inline constexpr int kKills = 10;
struct Kills
{
    int before = 0;
    int during = 0;
    int after = 0;
};

// Waits until a random moment of the k-th of kKills equal parts of `duration` (ms) and kills the
// command there (SIGKILL); false when it ended by itself first.
inline bool killDuring(QProcess &p, int k, qint64 duration)
{
    const qint64 at = duration * (k * 1000 + QRandomGenerator::global()->bounded(1000)) / (kKills * 1000);
    if (p.waitForFinished(int(qMax<qint64>(at, 1))))
        return false;
    p.kill();
    p.waitForFinished();
    return true;
}

// On PostgreSQL, waits (up to ten seconds) until the server has ended the other connections to the
// test database. A command killed right after it sent COMMIT is still committed by the server a
// moment later: what the kill left is what the database holds once its connection is gone.
inline void waitForOtherConnections(TestDatabase &t)
{
    if (!t.isPostgres())
        return;
    QElapsedTimer waited;
    waited.start();
    while (t.scalar(QStringLiteral("select count(*) from pg_stat_activity where datname = current_database() "
                                   "and pid <> pg_backend_pid()"))
                   .toInt() > 0 &&
           waited.elapsed() < 10000)
        QThread::msleep(5);
}
