#include "report/engine/TLRPreviewThread.h"

#include "common/AppError.h"

TLRPreviewThread::TLRPreviewThread(std::function<bool()> dataEnd, std::function<void()> step, QObject *parent)
    : QObject(parent), m_dataEnd(std::move(dataEnd)), m_step(std::move(step))
{
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &TLRPreviewThread::runStep);
}

TLRPreviewThread::~TLRPreviewThread() = default;

void TLRPreviewThread::Resume()
{
    if (m_ended || !m_suspended)
        return;
    m_suspended = false;
    m_finished = m_dataEnd();
    if (m_finished)
        end(true);
    else
        m_timer.start();
}

void TLRPreviewThread::Suspend()
{
    if (m_ended)
        return;
    m_suspended = true;
    m_timer.stop();
}

void TLRPreviewThread::Terminate()
{
    if (!m_ended)
        end(false);
}

void TLRPreviewThread::runStep()
{
    if (m_ended || m_suspended)
        return;
    try {
        m_step();
        m_finished = m_dataEnd();
    } catch (const AppError &e) {
        end(false);
        Q_EMIT failed(e.message());
        return;
    } catch (const std::exception &e) {
        end(false);
        Q_EMIT failed(QString::fromUtf8(e.what()));
        return;
    }
    if (m_finished)
        end(true);
}

void TLRPreviewThread::end(bool completed)
{
    m_timer.stop();
    m_ended = true;
    m_completed = completed;
    Q_EMIT ended(completed);
}
