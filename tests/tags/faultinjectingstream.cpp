#include "faultinjectingstream.h"

void FaultInjectingStream::FailAt(Operation operation, int n)
{
    Reset();
    m_failOperation = operation;
    m_failAt = n;
}

void FaultInjectingStream::Reset()
{
    for (int &calls : m_calls)
        calls = 0;
    m_failOperation = OpCount;
    m_failAt = 0;
    m_fired = false;
}

bool FaultInjectingStream::Trips(Operation operation)
{
    const bool trips = operation == m_failOperation && ++m_calls[operation] == m_failAt;
    if (operation != m_failOperation)
        ++m_calls[operation];
    m_fired = m_fired || trips;
    return trips;
}

int FaultInjectingStream::Read(void *buffer, int count)
{
    return Trips(OpRead) ? -1 : m_inner->Read(buffer, count);
}

int FaultInjectingStream::Write(const void *buffer, int count)
{
    if (Trips(OpWrite))
        return -1;
    // A short write is counted among the writes it cuts.
    if (m_failOperation == OpShortWrite && ++m_calls[OpShortWrite] == m_failAt && count > 0) {
        m_fired = true;
        return m_inner->Write(buffer, count - 1);
    }
    return m_inner->Write(buffer, count);
}

int64_t FaultInjectingStream::SetSize(int64_t size)
{
    return Trips(OpSetSize) ? -1 : m_inner->SetSize(size);
}

int64_t FaultInjectingStream::Seek(int64_t position)
{
    return Trips(OpSeek) ? -1 : m_inner->Seek(position);
}
