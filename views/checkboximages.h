#pragma once

#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

// The three double-resolution images of a delegate's check box. The box takes the logical
// size of the checked image.
class CheckBoxImages
{
public:
    // Replaces all three; an empty path leaves that state without an image, a path that
    // does not load leaves a null image.
    void load(const QString &unchecked, const QString &partially, const QString &checked);
    QImage *unchecked() const { return m_unchecked.get(); }
    QImage *partially() const { return m_partially.get(); }
    QImage *checked() const { return m_checked.get(); }
    // 0 unchecked, 1 partially, anything else checked; null when that state has no image.
    QImage *forState(int state) const;
    QSize boxSize() const { return m_boxSize; }

private:
    std::unique_ptr<QImage> m_unchecked;
    std::unique_ptr<QImage> m_partially;
    std::unique_ptr<QImage> m_checked;
    QSize m_boxSize{0, 0};
};
