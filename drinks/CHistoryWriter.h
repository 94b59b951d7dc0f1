#pragma once

#include <QObject>
#include <QThread>

#include <deque>
#include <functional>

class CHealthDatabase;
class CHistoryWorker;

// The history file's own thread. Every read and write of HealthConfig.db runs there, one job
// after another in the order given, so that another program holding the file (a backup tool, a
// sync client, a user's sqlite3 session) makes that thread wait, never the window.
//
// A job that does not succeed (the file is held, or cannot be written at all) is tried again
// after a short pause, and no later job runs before it: writes reach the file in their order.
// When a job has waited longer than PatienceSecs, Stuck is emitted once; it may come again only
// after every job was done. Jobs still queued when the writer stops are dropped: whoever queued
// them keeps them for the next start.
class CHistoryWriter : public QObject
{
    Q_OBJECT
public:
    // What a job does with the store on the writer's thread: true once it has done its part.
    // A thrown EasyQtSql::DBException counts as false.
    using Work = std::function<bool(CHealthDatabase& store)>;
    // How long a job may wait before the user should hear of it.
    static constexpr qint64 PatienceSecs = 10 * 60;

    explicit CHistoryWriter(QObject* parent = nullptr);
    ~CHistoryWriter() override;

    // Queues a write: work runs in one transaction of its own, which is kept only when work
    // returns true. done then runs on this object's thread. since is when the write was asked
    // for, by CClock: the patience counts from there.
    void Write(const Work& work, const std::function<void()>& done, qint64 since);
    // Queues a read: work runs outside a transaction, and should return false (or throw) only
    // when it must be tried again (the file is held), so that done runs once it got its answer.
    void Read(const Work& work, const std::function<void()>& done);
    // Jobs queued and not yet done.
    int Pending() const;
    // Runs the event loop until every queued job is done, at most msecs; true when all are.
    bool WaitForIdle(int msecs);
    // Ends the thread after the job at hand; the destructor does it too.
    void Stop();

signals:
    // A job has waited longer than PatienceSecs.
    void Stuck();
    // Every queued job is done.
    void Settled();

private:
    friend class CHistoryWorker;

    void Queue(const Work& work, bool transaction, const std::function<void()>& done, qint64 since);
    void OnJobDone(const std::function<void()>& done);
    void OnAttemptFailed();

    QThread m_thread;
    CHistoryWorker* m_worker = nullptr;
    // When each queued job was asked for, oldest first.
    std::deque<qint64> m_since;
    bool m_stuckTold = false;
};
