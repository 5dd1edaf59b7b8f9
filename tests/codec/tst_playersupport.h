#pragma once

#include <QByteArray>
#include <QDir>
#include <QHash>
#include <QTest>

#include <functional>
#include <memory>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "mmc.h"
#include "testmedia.h"

// Sanitizer builds run several times slower: waits on conditions stretch with them, and
// decoding there cannot keep the pace of the clock, so frame counts are not checked.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

inline int patience(int ms)
{
    return kSanitized ? ms * 3 : ms;
}

// One delivered frame, copied as the views copy it.
struct CopiedFrame
{
    int format = -1;
    int width = 0;
    int height = 0;
    int stride[3] = {};
    QByteArray planes[3];
    quint64 position = 0;
    std::thread::id thread;
};

// Counts and copies what a player delivers through its frame callback. Declare it
// before the player, so that it outlives the player's last callback.
class FrameRecorder
{
public:
    explicit FrameRecorder(MMC_Handle player = 0) : m_player(player) {}

    static int onFrame(void *context, void *frame)
    {
        auto *self = static_cast<FrameRecorder *>(context);
        CopiedFrame copy;
        copy.format = MMC_FrameGetPixelFormat(frame);
        copy.width = MMC_FrameGetWidth(frame);
        copy.height = MMC_FrameGetHeight(frame);
        for (int i = 0; i < 3; ++i) {
            copy.stride[i] = MMC_FrameGetStride(frame, i);
            const int rows = i == 0 ? copy.height : (copy.height + 1) / 2;
            const int width = i == 0 ? copy.width : (copy.width + 1) / 2;
            QByteArray plane;
            for (int y = 0; y < rows; ++y)
                plane.append(reinterpret_cast<const char *>(MMC_FrameGetPlane(frame, i)) + y * copy.stride[i], width);
            copy.planes[i] = plane;
        }
        copy.thread = std::this_thread::get_id();
        if (self->m_player)
            copy.position = MMC_PlayerGetPosition(self->m_player);
        if (self->m_delayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(self->m_delayMs));
        {
            std::lock_guard<std::mutex> lock(self->m_mutex);
            if (self->m_keep)
                self->m_frames.push_back(copy);
            else
                self->m_frames.assign(1, copy);
        }
        ++self->m_count;
        return 1;
    }

    void attach(MMC_Handle player)
    {
        m_player = player;
        MMC_PlayerSetFrameCallback(player, &FrameRecorder::onFrame, this);
    }
    void keepAll(bool keep) { m_keep = keep; }
    void setDelay(int ms) { m_delayMs = ms; }
    int count() const { return m_count; }
    void reset()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_frames.clear();
        m_count = 0;
    }
    std::vector<CopiedFrame> frames() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_frames;
    }
    CopiedFrame last() const
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_frames.empty() ? CopiedFrame() : m_frames.back();
    }

private:
    MMC_Handle m_player;
    std::atomic<int> m_count{0};
    std::atomic<int> m_delayMs{0};
    bool m_keep = false;
    mutable std::mutex m_mutex;
    std::vector<CopiedFrame> m_frames;
};

// A player handle for the life of a test step.
class ScopedPlayer
{
public:
    ScopedPlayer() : m_handle(MMC_CreatePlayer(-1)) {}
    ~ScopedPlayer()
    {
        MMC_PlayerClose(m_handle);
        MMC_DestroyPlayer(m_handle);
    }
    MMC_Handle handle() const { return m_handle; }
    bool open(const QString &path) { return MMC_PlayerOpen(m_handle, path.toUtf8().constData(), 0, 0, 0, 0) != 0; }

private:
    MMC_Handle m_handle;
};

// Media made once per test program, on first use.
class MediaCache
{
public:
    explicit MediaCache(const QString &folder) : m_folder(folder) {}

    QString livePhoto(const QString &name, const TestMedia::LivePhoto &spec)
    {
        return remember(name, [&] { return TestMedia::livePhoto(m_folder, name, spec); });
    }
    QString multiTrack() { return remember("multi.mkv", [&] { return TestMedia::multiTrackMovie(m_folder, "multi.mkv"); }); }
    QString audioOnly() { return remember("tone.m4a", [&] { return TestMedia::audioOnly(m_folder, "tone.m4a"); }); }
    QString audioWithCover()
    {
        return remember("cover.m4a", [&] { return TestMedia::audioWithCover(m_folder, "cover.m4a"); });
    }
    QString clip(const QString &name, const QString &source, const QStringList &encoding, double audioSeconds = 0)
    {
        return remember(name, [&] { return TestMedia::encodedClip(m_folder, name, source, encoding, audioSeconds); });
    }
    QString plain() { return livePhoto("plain.mov", TestMedia::LivePhoto()); }
    QString folder() const { return m_folder; }

private:
    template <class Make> QString remember(const QString &name, Make make)
    {
        if (!m_made.contains(name))
            m_made.insert(name, make());
        return m_made.value(name);
    }

    QString m_folder;
    QHash<QString, QString> m_made;
};
