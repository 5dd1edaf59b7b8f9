#include "qaudiodatawidget.h"

#include "qbaseimagedraw.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cstring>

namespace {

constexpr int kByteCountOffset = 40;
constexpr int kSamplesOffset = 44;
// Above this rate only the values up to this many per second are shown.
constexpr int kShownRate = 16000;

} // namespace

void TransData(const unsigned short *src, int n, unsigned int *dst, int N, int scale)
{
    for (int i = 0; i < N; ++i) {
        unsigned int value = 0;
        if (n > 0) {
            const int lo = int(qint64(i) * n / N);
            const int hi = std::min(n, int(qint64(i + 1) * n / N));
            if (hi <= lo) {
                value = src[lo];
            } else {
                for (int k = lo; k < hi; ++k)
                    value += src[k];
                value /= unsigned(hi - lo);
            }
        }
        dst[i] = scale >= 1 ? unsigned((quint64(value) * unsigned(scale)) >> 16) : value;
    }
}

QAudioDataWidget::QAudioDataWidget(QWidget *parent, const AudioDataAttribute *attr)
    : QWidget(parent)
    , m_attr(*attr)
{
    if (m_attr.style == 1) {
        m_attr.barGap = 0;
        m_attr.blockGap = 0;
    }
}

QAudioDataWidget::~QAudioDataWidget() = default;

void QAudioDataWidget::setAudioLogo(const QString &path)
{
    m_logo = QPixmap(path);
    m_logo.setDevicePixelRatio(2.0);
}

void QAudioDataWidget::computeLayout()
{
    m_drawRect = rect();
    m_barCount = (width() + m_attr.barGap) / (m_attr.barWidth + m_attr.barGap);
    m_levels.assign(std::max(m_barCount, 0), 0);
    if (m_attr.showPeak) {
        m_peaks.assign(m_levels.size(), 0);
        m_peakSteps.assign(m_levels.size(), 0);
    }
    m_blockCount = (height() + m_attr.blockGap) / (m_attr.blockHeight + m_attr.blockGap);
}

void QAudioDataWidget::setAudioData(unsigned char *data, int sps)
{
    if (!data) {
        m_hasData = false;
        std::fill(m_peaks.begin(), m_peaks.end(), 0);
        std::fill(m_peakSteps.begin(), m_peakSteps.end(), 0);
        update();
        return;
    }
    quint32 byteCount = 0;
    std::memcpy(&byteCount, data + kByteCountOffset, sizeof byteCount);
    qint64 n = byteCount / 2;
    if (sps >= kShownRate)
        n = n * kShownRate / sps;
    // A block of no whole value is silence: TransData reads nothing for n = 0.
    TransData(reinterpret_cast<const unsigned short *>(data + kSamplesOffset), int(n), m_levels.data(),
              m_barCount, m_blockCount);
    fallPeaks();
    m_hasData = true;
    update();
}

void QAudioDataWidget::fallPeaks()
{
    if (!m_attr.showPeak)
        return;
    const int blockStep = m_attr.blockHeight + m_attr.blockGap;
    for (int i = 0; i < m_barCount; ++i) {
        int &peak = m_peaks[i];
        if (peak > 0) {
            if (m_attr.peakFall != 0) {
                const int step = ++m_peakSteps[i];
                peak -= (step * step) >> 3;
            } else {
                peak -= 1;
            }
        }
        const int level = int(m_levels[i]);
        const int pixels = level > 0 ? blockStep * level - m_attr.blockGap : level;
        if (pixels > peak) {
            peak = pixels;
            m_peakSteps[i] = 0;
        }
    }
}

void QAudioDataWidget::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0, 0, 255, 1));
    if (!m_logo.isNull())
        painter.drawPixmap((width() - m_logo.width() / 2) / 2, (height() - m_logo.height() / 2) / 2, m_logo);
    if (m_hasData)
        drawBars(painter);
    m_hasData = false;
}

void QAudioDataWidget::drawBars(QPainter &painter) const
{
    const int bottom = m_drawRect.bottom();
    const int barStep = m_attr.barWidth + m_attr.barGap;
    const int blockStep = m_attr.blockHeight + m_attr.blockGap;
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath line;
    for (int i = 0; i < m_barCount; ++i) {
        const int level = int(m_levels[i]);
        const int x = barStep * i;
        if (m_attr.style == 0) {
            for (int j = 0; j < level; ++j) {
                const QPainterPath block = QBaseImageDraw::GetRoundedRectanglePath(
                    x, bottom - m_attr.blockHeight - blockStep * j, m_attr.barWidth, m_attr.blockHeight,
                    m_attr.cornerRadius);
                painter.fillPath(block, m_attr.barColor);
            }
        } else if (m_attr.style == 1) {
            const QPointF point(m_attr.barWidth * i, bottom - level * m_attr.blockHeight);
            if (i == 0)
                line.moveTo(point);
            else
                line.lineTo(point);
        }
        if (m_attr.showPeak && m_peaks[i] > 0)
            painter.fillRect(x, bottom - m_peaks[i] - 1, m_attr.barWidth, 1, m_attr.peakColor);
    }
    if (m_attr.style == 1)
        painter.strokePath(line, QPen(m_attr.barColor, m_attr.barWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

void QAudioDataWidget::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    computeLayout();
}

void QAudioDataWidget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    computeLayout();
    repaint();
}
