#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "encodeconfig.h"
#include "jobprogress.h"

#include "convert/moviewriter.h"

// Several sources, one after the other, in one output: each decoded, fitted into the
// output's picture size and padded, brought to one frame rate and sample rate, encoded
// and muxed, its times following the end of the previous one. The first source fixes
// which streams the output has. The output is written into a working file, given the
// destination's name (or the next free one) once the merger is closed after its sources
// have drained; otherwise deleted.
class Merger : public JobProgress
{
public:
    Merger() = default;
    ~Merger();
    Merger(const Merger &) = delete;
    Merger &operator=(const Merger &) = delete;

    bool open(const std::string &dst, const std::string &format, const EncodeSettings &settings);
    bool start();
    bool addFile(const std::string &src, uint64_t start, uint64_t length);

    bool cancel();
    void close();
    // Where a complete output went; empty until then.
    std::string outputPath();

private:
    struct Source
    {
        std::string path;
        uint64_t start = 0;
        uint64_t length = 0;
    };

    void run();
    bool mergeOne(const Source &source);
    bool mergePicture(const Source &source, uint64_t &end);
    std::string pictureChain(int rotation) const;
    void stopWorker();

    std::mutex m_mutex;
    // Keeps two closing threads apart; never taken by the worker.
    std::mutex m_closeMutex;
    std::condition_variable m_queued;
    std::deque<Source> m_queue;
    std::thread m_worker;
    std::unique_ptr<MovieWriter> m_writer;
    std::string m_destination;
    std::string m_partPath;
    std::string m_outputPath;
    int m_descriptor = -1;
    std::string m_format;
    EncodeSettings m_settings;
    bool m_opened = false;
    bool m_closed = false;
    bool m_fed = false;
    bool m_stopWorker = false;
    bool m_withPicture = false;
    bool m_withSound = false;
    int m_width = 0;
    int m_height = 0;
    int m_rateNum = 25;
    int m_rateDen = 1;
    uint64_t m_offset = 0;
};
