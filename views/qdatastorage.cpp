#include "qdatastorage.h"

#include <algorithm>
#include <cstring>
#include <type_traits>
#include <utility>

template <typename T> void QDataStorage::setRaw(std::string key, T value)
{
    static_assert(std::is_trivially_copyable<T>::value, "raw storage needs plain bytes");
    std::string bytes(sizeof(T), '\0');
    std::memcpy(&bytes[0], &value, sizeof(T));
    m_values[std::move(key)] = std::move(bytes);
}

// A value stored with fewer bytes than T (written as another type) fills only the low
// bytes of a zeroed value; nothing past the stored bytes is read.
template <typename T> T QDataStorage::getRaw(const std::string &key) const
{
    T value{};
    const auto found = m_values.find(key);
    if (found == m_values.end())
        return value;
    const std::string &bytes = found->second;
    std::memcpy(&value, bytes.data(), std::min(bytes.size(), sizeof(T)));
    return value;
}

void QDataStorage::setStringValue(std::string key, std::string value)
{
    m_values[std::move(key)] = std::move(value);
}

void QDataStorage::setIntValue(std::string key, int value)
{
    setRaw<int>(std::move(key), value);
}

void QDataStorage::setInt64Value(std::string key, long long value)
{
    setRaw<long long>(std::move(key), value);
}

void QDataStorage::setBoolValue(std::string key, bool value)
{
    setRaw<unsigned char>(std::move(key), value ? 1 : 0);
}

void QDataStorage::setDoubleValue(std::string key, double value)
{
    setRaw<double>(std::move(key), value);
}

std::string QDataStorage::getStringValue(std::string key)
{
    const auto found = m_values.find(key);
    return found == m_values.end() ? std::string() : found->second;
}

int QDataStorage::getIntValue(std::string key)
{
    return getRaw<int>(key);
}

long long QDataStorage::getInt64Value(std::string key)
{
    return getRaw<long long>(key);
}

bool QDataStorage::getBoolValue(std::string key)
{
    return (getRaw<unsigned char>(key) & 1) != 0;
}

double QDataStorage::getDoubleValue(std::string key)
{
    return getRaw<double>(key);
}

bool QDataStorage::containsKey(const std::string &key) const
{
    return m_values.count(key) != 0;
}
