#pragma once

#include "audiodataattribute.h"

#include <QPixmap>
#include <QWidget>

#include <vector>

// Fills N outputs from n 16-bit values in equal bins: a bin too narrow to hold a value
// takes the single value at its start, any other the truncated average. The outputs are
// (value * scale) >> 16 when scale is at least 1, else the plain values. With no input
// every output is 0.
void TransData(const unsigned short *src, int n, unsigned int *dst, int N, int scale);

// Stands in for the picture of media without video: the current audio block as a row of
// bars made of small rounded blocks, each with a falling peak mark, over a centred logo.
// A block is drawn once, on the repaint it causes.
class QAudioDataWidget : public QWidget
{
    Q_OBJECT

public:
    QAudioDataWidget(QWidget *parent, const AudioDataAttribute *attr);
    ~QAudioDataWidget() override;

    void setAudioLogo(const QString &path);

public slots:
    // data: a byte count at offset 40, then that many bytes of 16-bit values, read only
    // during the call; null clears the bars and the peaks.
    void setAudioData(unsigned char *data, int sps);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void computeLayout();
    void fallPeaks();
    void drawBars(QPainter &painter) const;

    QRect m_drawRect = QRect(0, 0, 400, 100);
    bool m_hasData = false;
    std::vector<unsigned int> m_levels;
    std::vector<int> m_peaks;
    std::vector<int> m_peakSteps;
    int m_barCount = 0;
    int m_blockCount = 0;
    QPixmap m_logo;
    AudioDataAttribute m_attr;
};
