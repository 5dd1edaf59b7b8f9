#pragma once

#include <QCryptographicHash>

#include <iosfwd>
#include <string>

// MD5 digest with a hexadecimal result; names cached thumbnails after their paths.
class MD5
{
public:
    MD5();
    explicit MD5(const std::string &text);

    void update(const unsigned char *input, unsigned int length);
    void update(const char *input, unsigned int length);
    MD5 &finalize();
    std::string hexdigest() const;
    std::string md5() const;

private:
    QCryptographicHash m_hash;
    bool m_done = false;
    std::string m_hex;
};

std::ostream &operator<<(std::ostream &out, const MD5 &digest);
