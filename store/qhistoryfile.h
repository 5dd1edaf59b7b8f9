#pragma once

#include "qhistorydocument.h"

#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

// "History.xml", owned by a thread of its own that keeps it parsed between calls, reads
// it again only when the file changed on disk, and writes every change whole and
// atomically. A save is handed over and never waits; a read waits for the saves before
// it, not for their writes. The one instance joins the thread at exit, after the last
// write.
class QHistoryFile
{
public:
    // One step on the document: null when the file is missing (and not started) or does
    // not parse. Returns whether it changed the document, which is then written.
    using Step = std::function<bool(QHistoryDocument *document)>;

    static QHistoryFile &instance();
    ~QHistoryFile();

    // Runs the step after every earlier one and returns at once. startWhenMissing gives
    // a missing file a new document with the root "ROOTITEM".
    void post(bool startWhenMissing, Step step);
    // Runs the step after every earlier one and returns when it ran.
    void run(bool startWhenMissing, const Step &step);
    // Waits until every step ran and its change is on disk.
    void flush();

private:
    struct Job;
    struct Stamp;
    enum class State { Missing, Parsed, Unparsable };

    QHistoryFile();
    static void flushInstance();
    quint64 enqueue(bool startWhenMissing, Step step);
    void runWriter();
    bool runJob(const Job &job);
    void sync(const QString &path);
    void write();

    // Shared between the callers and the thread.
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_jobs;
    quint64 m_posted = 0;
    quint64 m_done = 0;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_thread;

    // The thread's own.
    QString m_path;
    State m_state = State::Missing;
    QHistoryDocument m_document;
    std::unique_ptr<Stamp> m_stamp;
};
