#include "convert/passclock.h"

#include <algorithm>

PassClock::Place PassClock::place(int64_t sourceTimeUs, int64_t &passTime)
{
    const auto time = static_cast<uint64_t>(std::max<int64_t>(0, sourceTimeUs));
    if (time < m_start)
        return Place::Before;
    if (m_length && time >= m_start + m_length)
        return Place::After;
    passTime = static_cast<int64_t>(time - m_start);
    if (m_last >= 0 && passTime > m_last)
        m_spacing = passTime - m_last;
    m_last = passTime;
    return Place::Inside;
}

int64_t PassClock::endTime() const
{
    // The stream ends one frame after the last one.
    const int64_t end = m_last + m_spacing;
    return m_length ? std::min<int64_t>(end, static_cast<int64_t>(m_length)) : end;
}
