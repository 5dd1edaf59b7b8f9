#pragma once

#include <map>
#include <string>

// A small typed key-value store. Strings are kept as given; numbers and flags are kept as
// the raw bytes of their type in the machine's byte order, so one key holds one value of
// any type and a later write of any type replaces it.
class QDataStorage
{
public:
    QDataStorage() = default;

    virtual void setStringValue(std::string key, std::string value);
    virtual void setIntValue(std::string key, int value);
    virtual void setInt64Value(std::string key, long long value);
    virtual void setBoolValue(std::string key, bool value);
    virtual void setDoubleValue(std::string key, double value);

    // A key that was never written reads as 0, false, 0.0 or "" and is not added.
    virtual std::string getStringValue(std::string key);
    virtual int getIntValue(std::string key);
    virtual long long getInt64Value(std::string key);
    virtual bool getBoolValue(std::string key);
    virtual double getDoubleValue(std::string key);

protected:
    bool containsKey(const std::string &key) const;

    // Records are destroyed through their own class, never through this base.
    ~QDataStorage() = default;
    QDataStorage(const QDataStorage &) = default;
    QDataStorage &operator=(const QDataStorage &) = default;

private:
    template <typename T> void setRaw(std::string key, T value);
    template <typename T> T getRaw(const std::string &key) const;

    std::map<std::string, std::string> m_values;
};
