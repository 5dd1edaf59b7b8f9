#include "checkboximages.h"

namespace {

std::unique_ptr<QImage> loadImage(const QString &path)
{
    if (path.isEmpty())
        return nullptr;
    auto image = std::make_unique<QImage>(path);
    image->setDevicePixelRatio(2.0);
    return image;
}

} // namespace

void CheckBoxImages::load(const QString &unchecked, const QString &partially, const QString &checked)
{
    m_unchecked = loadImage(unchecked);
    m_partially = loadImage(partially);
    m_checked = loadImage(checked);
    if (m_checked)
        m_boxSize = QSize(m_checked->width() / 2, m_checked->height() / 2);
}

QImage *CheckBoxImages::forState(int state) const
{
    if (state == 0)
        return m_unchecked.get();
    if (state == 1)
        return m_partially.get();
    return m_checked.get();
}
