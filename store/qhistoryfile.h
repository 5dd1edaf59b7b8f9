#pragma once

#include "qhistorydocument.h"

#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <thread>

// "History.xml", owned by a thread of its own that keeps it parsed between calls and reads
// it again only when the file changed on disk. Every change is written whole and
// atomically by a second thread, from a copy of the document. A save is handed over and
// never waits; a read waits for the steps before it, never for a write (but for the last
// file's writes when the file's path changes). The one instance joins both threads at
// exit, after the last write.
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
    quint64 enqueue(bool startWhenMissing, Step step);
    void runSteps();
    bool runJob(const Job &job);
    void sync(const QString &path);
    void write();
    void runWrites();

    // Shared between the callers and the thread.
    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::deque<Job> m_jobs;
    quint64 m_posted = 0;
    quint64 m_done = 0;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_thread;
    // Between the steps' thread and the writing thread: the newest change not yet taken for
    // writing, and what the disk showed after the last write.
    std::optional<QHistoryDocument> m_unwritten;
    QString m_unwrittenPath;
    bool m_writing = false;
    bool m_writesStopping = false;
    std::thread m_writeThread;
    std::unique_ptr<Stamp> m_stamp;

    // The steps' thread's own.
    QString m_path;
    State m_state = State::Missing;
    QHistoryDocument m_document;
};
