#pragma once

#include "tagstream.h"

// Wraps a stream, counts its operations and fails a chosen one: the n-th call (1-based) of an
// operation returns -1, or the n-th write is cut short by one byte.
class FaultInjectingStream : public TagStream
{
public:
    enum Operation { OpRead, OpWrite, OpSeek, OpSetSize, OpShortWrite, OpCount };

    explicit FaultInjectingStream(TagStream *inner) : m_inner(inner) {}

    void FailAt(Operation operation, int n);
    void Reset();
    int Calls(Operation operation) const { return m_calls[operation]; }
    bool Fired() const { return m_fired; }

    int Read(void *buffer, int count) override;
    int Write(const void *buffer, int count) override;
    int64_t Size() override { return m_inner->Size(); }
    int64_t SetSize(int64_t size) override;
    int64_t Tell() override { return m_inner->Tell(); }
    int64_t Seek(int64_t position) override;

private:
    bool Trips(Operation operation);

    TagStream *m_inner;
    int m_calls[OpCount] = {};
    Operation m_failOperation = OpCount;
    int m_failAt = 0;
    bool m_fired = false;
};
