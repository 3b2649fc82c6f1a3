#pragma once
// The preview's background worker. It renders the remaining pages one per step, each step
// queued on the event loop of the user-interface thread, so the window stays responsive and the
// user can page through what is stored while the page total grows. It can be paused and resumed,
// and once terminated (a new preview, a print, closing the window) no further step runs.
#include <functional>
#include <QObject>
#include <QTimer>

class TLRPreviewThread : public QObject
{
    Q_OBJECT
public:
    // dataEnd: the report window's data-end test; step: renders and stores one more page.
    TLRPreviewThread(std::function<bool()> dataEnd, std::function<void()> step, QObject *parent);
    ~TLRPreviewThread() override;

    void Resume();
    void Suspend();
    bool Suspended() const { return m_suspended; }
    void Terminate();
    bool Running() const { return !m_ended; }
    bool Finished() const { return m_finished; }
    bool Completed() const { return m_completed; }

Q_SIGNALS:
    // The worker ended: completed when the data was exhausted, not when it was terminated.
    void ended(bool completed);
    // A step failed with this message; the worker has ended.
    void failed(const QString &message);

private:
    void runStep();
    void end(bool completed);

    std::function<bool()> m_dataEnd;
    std::function<void()> m_step;
    QTimer m_timer;
    bool m_finished = false;
    bool m_completed = false;
    bool m_suspended = true;
    bool m_ended = false;
};
