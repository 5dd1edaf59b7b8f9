#include "md5.h"

#include <ostream>

MD5::MD5()
    : m_hash(QCryptographicHash::Md5)
{
}

MD5::MD5(const std::string &text)
    : MD5()
{
    update(text.data(), static_cast<unsigned int>(text.size()));
    finalize();
}

void MD5::update(const unsigned char *input, unsigned int length)
{
    update(reinterpret_cast<const char *>(input), length);
}

void MD5::update(const char *input, unsigned int length)
{
    // Once finished the digest is fixed: later bytes never change it.
    if (m_done)
        return;
    constexpr unsigned int kChunk = 1u << 30; // the hash takes int lengths
    while (length > 0) {
        const unsigned int part = length < kChunk ? length : kChunk;
        m_hash.addData(input, int(part));
        input += part;
        length -= part;
    }
}

MD5 &MD5::finalize()
{
    if (!m_done) {
        m_hex = m_hash.result().toHex().toStdString();
        m_hash.reset();
        m_done = true;
    }
    return *this;
}

std::string MD5::hexdigest() const
{
    return m_hex;
}

std::string MD5::md5() const
{
    return hexdigest();
}

std::ostream &operator<<(std::ostream &out, const MD5 &digest)
{
    return out << digest.hexdigest();
}
