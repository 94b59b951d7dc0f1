#include "CHistoryWriter.h"

#include <memory>

#include <QDeadlineTimer>
#include <QEventLoop>
#include <QTimer>

#include "CHealthDatabase.h"
#include "EasyQtSql/DBException.h"
#include "clock.h"

namespace {
const QString kConnection = QStringLiteral("HealthConfigWriter");
// A statement waits this long for a file another program holds before the attempt fails; the
// thread then pauses, so that a stop never waits for long.
constexpr int kBusyWaitMs = 200;
// Pauses between attempts grow from the first to the longest, so a lock that is gone is noticed
// within about two seconds and a file that stays unusable costs next to nothing.
constexpr int kFirstPauseMs = 250;
constexpr int kLongestPauseMs = 2000;
}

// The part that lives on the writer's thread: the store, the queue and the pauses.
class CHistoryWorker : public QObject
{
public:
    struct Job
    {
        CHistoryWriter::Work work;
        bool transaction = false;
        std::function<void()> done;
    };

    explicit CHistoryWorker(CHistoryWriter* front)
        : m_front(front)
    {
        // A child, so that it moves to the writer's thread with the worker.
        m_retry.setParent(this);
        m_retry.setSingleShot(true);
        connect(&m_retry, &QTimer::timeout, this, &CHistoryWorker::RunNext);
    }

    void Enqueue(const Job& job)
    {
        m_jobs.push_back(job);
        if (m_jobs.size() == 1 && !m_retry.isActive())
            RunNext();
    }

    void Stop()
    {
        m_retry.stop();
        m_jobs.clear();
        m_store.reset();
    }

private:
    void RunNext()
    {
        if (m_jobs.empty())
            return;
        if (!Attempt(m_jobs.front())) {
            QMetaObject::invokeMethod(m_front, [front = m_front] { front->OnAttemptFailed(); }, Qt::QueuedConnection);
            m_retry.start(m_pauseMs);
            m_pauseMs = qMin(2 * m_pauseMs, kLongestPauseMs);
            return;
        }
        m_pauseMs = kFirstPauseMs;
        const std::function<void()> done = m_jobs.front().done;
        m_jobs.pop_front();
        QMetaObject::invokeMethod(m_front, [front = m_front, done] { front->OnJobDone(done); }, Qt::QueuedConnection);
        // One job per turn of the loop, so that a stop is heard between any two.
        if (!m_jobs.empty())
            m_retry.start(0);
    }

    bool Attempt(const Job& job)
    {
        if (!m_store)
            m_store = std::make_unique<CHealthDatabase>(kConnection, kBusyWaitMs);
        // The tables are made once the file can be written; until then each attempt tries.
        if (m_store->OpenDatabase() && !m_tablesMade)
            m_tablesMade = m_store->CreateTables();
        try {
            if (job.transaction)
                return m_store->WriteTogether([&] { return job.work(*m_store); });
            return job.work(*m_store);
        } catch (const EasyQtSql::DBException&) {
            return false;
        }
    }

    CHistoryWriter* m_front;
    std::deque<Job> m_jobs;
    std::unique_ptr<CHealthDatabase> m_store;
    bool m_tablesMade = false;
    QTimer m_retry;
    int m_pauseMs = kFirstPauseMs;
};

CHistoryWriter::CHistoryWriter(QObject* parent)
    : QObject(parent)
    , m_worker(new CHistoryWorker(this))
{
    m_thread.setObjectName(QStringLiteral("HealthConfig"));
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start();
}

CHistoryWriter::~CHistoryWriter()
{
    Stop();
}

void CHistoryWriter::Stop()
{
    if (!m_thread.isRunning())
        return;
    QMetaObject::invokeMethod(m_worker, [worker = m_worker] { worker->Stop(); }, Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
    m_since.clear();
}

void CHistoryWriter::Write(const Work& work, const std::function<void()>& done, qint64 since)
{
    Queue(work, true, done, since);
}

void CHistoryWriter::Read(const Work& work, const std::function<void()>& done)
{
    Queue(work, false, done, CClock::Now());
}

void CHistoryWriter::Queue(const Work& work, bool transaction, const std::function<void()>& done, qint64 since)
{
    if (!m_thread.isRunning())
        return;
    m_since.push_back(since);
    const CHistoryWorker::Job job{work, transaction, done};
    QMetaObject::invokeMethod(m_worker, [worker = m_worker, job] { worker->Enqueue(job); }, Qt::QueuedConnection);
}

int CHistoryWriter::Pending() const
{
    return int(m_since.size());
}

bool CHistoryWriter::WaitForIdle(int msecs)
{
    const QDeadlineTimer deadline(msecs);
    while (!m_since.empty() && !deadline.hasExpired()) {
        QEventLoop loop;
        connect(this, &CHistoryWriter::Settled, &loop, &QEventLoop::quit);
        QTimer::singleShot(int(deadline.remainingTime()), &loop, &QEventLoop::quit);
        loop.exec();
    }
    return m_since.empty();
}

void CHistoryWriter::OnJobDone(const std::function<void()>& done)
{
    if (!m_since.empty())
        m_since.pop_front();
    if (done)
        done();
    if (m_since.empty()) {
        m_stuckTold = false;
        emit Settled();
    }
}

void CHistoryWriter::OnAttemptFailed()
{
    if (m_stuckTold || m_since.empty() || CClock::Now() - m_since.front() < PatienceSecs)
        return;
    m_stuckTold = true;
    emit Stuck();
}
