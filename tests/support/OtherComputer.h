#pragma once
// A second copy of the program at another computer: its own connection on its own thread, writing
// in a transaction that it keeps open until the test's own connection has run into its locks.
#include "TestDatabase.h"

#include <functional>
#include <memory>
#include <QElapsedTimer>
#include <QSemaphore>
#include <QThread>

class OtherComputer
{
public:
    explicit OtherComputer(const TestDatabase &t) : m_t(t) {}
    ~OtherComputer() { finish(); }

    // Runs the work inside a write transaction of the other connection and returns once it has run;
    // the transaction stays open. On PostgreSQL it commits as soon as a statement of another
    // connection waits for one of its locks (or after ten seconds); on SQLite, whose writers wait for
    // the database's write lock up to the busy timeout, after 300 ms.
    void writeAndHold(std::function<void(TEngineDatabase &)> work)
    {
        m_thread.reset(QThread::create([this, work] { run(work); }));
        m_thread->start();
        m_ready.acquire();
    }

    // Waits for the commit; the other connection's failure, if any.
    QString finish()
    {
        if (m_thread) {
            m_thread->wait();
            m_thread.reset();
        }
        return m_error;
    }

private:
    void run(const std::function<void(TEngineDatabase &)> &work)
    {
        bool released = false;
        try {
            TEngineSession session;
            TEngineDatabase db(&session, QStringLiteral("OtherComputer"));
            m_t.configure(session, db);
            db.Open();
            TEngineTransaction transaction(db);
            work(db);
            m_ready.release();
            released = true;
            holdUntilWaitedFor(db);
            transaction.commit();
        } catch (const AppError &e) {
            m_error = e.message();
        }
        if (!released)
            m_ready.release();
    }

    void holdUntilWaitedFor(TEngineDatabase &db)
    {
        if (db.dialect() == TEngineDialect::SQLite) {
            QThread::msleep(300);
            return;
        }
        TEngineQuery q(&db);
        // pg_locks is read afresh by each statement (pg_stat_activity would be read once per
        // transaction).
        q.addSql(QStringLiteral("select count(*) from pg_locks where not granted"));
        q.addSql(QStringLiteral("and pg_backend_pid() = any(pg_blocking_pids(pid))"));
        QElapsedTimer timer;
        timer.start();
        for (q.Open(); q.Field(0).AsInteger() == 0 && timer.elapsed() < 10000; q.Open())
            QThread::msleep(5);
        q.Close();
    }

    const TestDatabase &m_t;
    std::unique_ptr<QThread> m_thread;
    QSemaphore m_ready;
    QString m_error;
};
