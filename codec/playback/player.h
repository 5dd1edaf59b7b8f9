#pragma once

#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>

#include "mmc.h"
#include "playback/playervideo.h"

struct AVFrame;
struct PlayerSession;

// One player handle: opens one media at a time and plays it with picture and sound.
//
// Locks: m_control serialises the calls that change what plays; m_callbackLock is held
// while the frame callback runs, so taking it waits for a callback in flight; queries take
// only short locks, so they answer from inside the callback too. Calls that would wait
// for the callback return 0 when made from inside it.
class Player
{
public:
    Player();
    ~Player();
    Player(const Player &) = delete;
    Player &operator=(const Player &) = delete;

    void setAudioDevice(const std::string &name);
    bool open(const std::string &path);
    bool close();
    void setInterval(uint64_t interval);
    void setVolume(int volume);
    bool setFrameCallback(MMC_FrameFn callback, void *context);
    bool play();
    bool pause();
    bool stop();
    bool seek(uint64_t position);
    bool step(int direction);
    bool refresh();
    bool isEnded();

    uint64_t duration() const;
    uint64_t position() const;
    bool hasVideo() const;
    bool hasAudio() const;
    uint32_t videoWidth() const;
    uint32_t videoHeight() const;
    uint32_t aspectX() const;
    uint32_t aspectY() const;

    void *audioBlock() const;
    MMC_Capture *capture(uint32_t width, uint32_t height) const;
    bool selectAudioTrack(int index);
    bool selectSubtitle(int index);
    bool loadSubtitleFile(const std::string &path);

    PresentationStats stats() const;
    void simulateAudioStall(bool on);

private:
    enum class Delivery { Closed, OneShot, Open };

    bool inOwnCallback() const;
    // Runs action on the open media under the control lock; false without media or when
    // called from inside the frame callback.
    template <class Action> bool withMedia(Action action);
    void clearEnded();
    std::shared_ptr<PlayerSession> session() const;
    bool deliver(const AVFrame *frame);
    void setDelivery(Delivery delivery);
    void closeLocked();
    void pauseLocked(PlayerSession &session);
    bool changeSubtitles(PlayerSession &session, int track, const std::string &file);
    bool computeEnded(PlayerSession &session);

    std::mutex m_control;
    mutable std::mutex m_sessionLock;
    std::shared_ptr<PlayerSession> m_session;

    std::mutex m_callbackLock;
    Delivery m_delivery = Delivery::Closed;
    MMC_FrameFn m_callback = nullptr;
    void *m_callbackContext = nullptr;

    mutable std::mutex m_frameLock;
    AVFrame *m_lastFrame = nullptr;

    std::mutex m_endLock;
    bool m_ended = false;

    std::atomic<bool> m_playing{false};
    std::atomic<int> m_volume{100};
    std::atomic<uint64_t> m_interval{50000};
    std::string m_device;
};
