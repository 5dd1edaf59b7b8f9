#include "qhistoryfile.h"

#include "qstorefile.h"
#include "storelog.h"

#include <QFile>

#include <sys/stat.h>

struct QHistoryFile::Job
{
    quint64 number = 0;
    QString path;
    bool startWhenMissing = false;
    Step step;
};

// What the disk shows of the file. Every save renames a new file in, so an edit is seen
// even within one tick of the clock that stamps modification times.
struct QHistoryFile::Stamp
{
    bool exists = false;
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    struct timespec modified = {0, 0};

    static Stamp of(const QString &path)
    {
        Stamp stamp;
        struct stat info;
        if (::stat(QFile::encodeName(path).constData(), &info) != 0)
            return stamp;
        stamp.exists = true;
        stamp.device = info.st_dev;
        stamp.inode = info.st_ino;
        stamp.size = info.st_size;
        stamp.modified = info.st_mtim;
        return stamp;
    }

    bool operator==(const Stamp &other) const
    {
        return exists == other.exists && device == other.device && inode == other.inode && size == other.size
               && modified.tv_sec == other.modified.tv_sec && modified.tv_nsec == other.modified.tv_nsec;
    }
    bool operator!=(const Stamp &other) const { return !(*this == other); }
};

QHistoryFile &QHistoryFile::instance()
{
    static QHistoryFile file;
    return file;
}

QHistoryFile::QHistoryFile() : m_stamp(new Stamp)
{
    // The last write is done from the destructor; the category is made first so that it
    // outlives this object.
    lcStore();
}

QHistoryFile::~QHistoryFile()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stopping = true;
    }
    m_changed.notify_all();
    if (m_thread.joinable())
        m_thread.join();
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_writesStopping = true;
    }
    m_changed.notify_all();
    if (m_writeThread.joinable())
        m_writeThread.join();
}

quint64 QHistoryFile::enqueue(bool startWhenMissing, Step step)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Job job;
    job.number = ++m_posted;
    job.path = QStoreFile::appDataFile(QStringLiteral("History.xml"));
    job.startWhenMissing = startWhenMissing;
    job.step = std::move(step);
    m_jobs.push_back(std::move(job));
    if (!m_thread.joinable())
        m_thread = std::thread(&QHistoryFile::runSteps, this);
    m_changed.notify_all();
    return m_posted;
}

void QHistoryFile::post(bool startWhenMissing, Step step)
{
    enqueue(startWhenMissing, std::move(step));
}

void QHistoryFile::run(bool startWhenMissing, const Step &step)
{
    const quint64 number = enqueue(startWhenMissing, step);
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this, number] { return m_done >= number; });
}

void QHistoryFile::flush()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_jobs.empty() && !m_busy && !m_unwritten && !m_writing; });
}

void QHistoryFile::runSteps()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return !m_jobs.empty() || m_stopping; });
        if (m_jobs.empty())
            return;
        std::deque<Job> jobs;
        jobs.swap(m_jobs);
        m_busy = true;
        lock.unlock();
        bool changed = false;
        for (const Job &job : jobs) {
            if (job.path != m_path && changed) {
                write();
                changed = false;
            }
            changed = runJob(job) || changed;
            lock.lock();
            m_done = job.number;
            m_changed.notify_all();
            lock.unlock();
        }
        if (changed)
            write();
        lock.lock();
        m_busy = false;
        m_changed.notify_all();
    }
}

bool QHistoryFile::runJob(const Job &job)
{
    sync(job.path);
    if (m_state == State::Missing && job.startWhenMissing) {
        m_document = QHistoryDocument::started();
        m_state = State::Parsed;
    }
    return job.step(m_state == State::Parsed ? &m_document : nullptr);
}

void QHistoryFile::sync(const QString &path)
{
    Stamp known;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        // A write under way or to come holds what memory holds, or older.
        if (path == m_path && (m_unwritten || m_writing))
            return;
        m_changed.wait(lock, [this] { return !m_unwritten && !m_writing; });
        known = *m_stamp;
    }
    const Stamp now = Stamp::of(path);
    if (path == m_path && now == known)
        return;
    m_path = path;
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        *m_stamp = now;
    }
    m_document = QHistoryDocument();
    QDomDocument dom;
    switch (QStoreFile::load(path, dom)) {
    case QStoreFile::State::Missing:
        m_state = State::Missing;
        break;
    case QStoreFile::State::Unparsable:
        m_state = State::Unparsable;
        break;
    case QStoreFile::State::Parsed:
        m_state = State::Parsed;
        m_document = QHistoryDocument::fromDom(dom);
        break;
    }
}

void QHistoryFile::write()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    // A newer change replaces one not yet taken: each write is whole.
    m_unwritten = m_document;
    m_unwrittenPath = m_path;
    if (!m_writeThread.joinable())
        m_writeThread = std::thread(&QHistoryFile::runWrites, this);
    m_changed.notify_all();
}

void QHistoryFile::runWrites()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_changed.wait(lock, [this] { return m_unwritten || m_writesStopping; });
        if (!m_unwritten)
            return;
        const QHistoryDocument document = std::move(*m_unwritten);
        const QString path = m_unwrittenPath;
        m_unwritten.reset();
        m_writing = true;
        lock.unlock();
        QStoreFile::saveBytes(path, document.toXml());
        // A failed write leaves the file as it was: what is in memory stays the newer.
        const Stamp written = Stamp::of(path);
        lock.lock();
        *m_stamp = written;
        m_writing = false;
        m_changed.notify_all();
    }
}
