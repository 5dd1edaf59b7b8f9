#include "qaudiodatawidget.h"
#include "testhome.h"

#include <cstring>
#include <vector>

namespace {

const QColor kBar(0, 150, 0);
const QColor kPeak(255, 0, 0);

// An audio block as the engine hands it on: the byte count at 40, the values from 44.
// It is exactly as long as the block, so a read past it shows under ASan.
std::vector<unsigned char> block(const std::vector<quint16> &values, int byteCount = -1)
{
    std::vector<unsigned char> bytes(44 + values.size() * 2);
    const quint32 count = byteCount < 0 ? quint32(values.size() * 2) : quint32(byteCount);
    std::memcpy(bytes.data() + 40, &count, 4);
    if (!values.empty())
        std::memcpy(bytes.data() + 44, values.data(), values.size() * 2);
    return bytes;
}

// Bars of the widget drawn for one block, counted along a pixel row (or column) from x.
int runs(QAudioDataWidget &widget, std::vector<unsigned char> data, int sps, bool row = true, int from = 0)
{
    widget.setAudioData(data.data(), sps);
    const QImage image = widget.grab().toImage();
    int count = 0;
    bool inside = false;
    for (int i = from; i < (row ? image.width() : image.height()); ++i) {
        const QColor c = image.pixelColor(row ? i : 5, row ? image.height() - 2 : i);
        const bool hit = qAbs(c.green() - kBar.green()) < 40 && c.red() < 40 && c.alpha() > 200;
        count += hit && !inside;
        inside = hit;
    }
    return count;
}

// The peak mark's height in column 0, counted from the bottom; -1 without one.
int peakHeight(QAudioDataWidget &widget)
{
    const QImage image = widget.grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        if (image.pixelColor(0, y) == kPeak)
            return image.height() - 2 - y;
    return -1;
}

} // namespace

class TestAudioLevels : public QObject
{
    Q_OBJECT

private slots:
    // The panel's bar and block sizes, without peaks.
    void barsBinsAndRate()
    {
        AudioDataAttribute attr;
        attr.barWidth = 11;
        attr.blockHeight = 3;
        attr.barGap = 2;
        attr.blockGap = 2;
        attr.barColor = kBar;
        QAudioDataWidget widget(nullptr, &attr);
        widget.resize(390, 230);
        widget.show();
        const auto full = block(std::vector<quint16>(60, 65535));
        QCOMPARE(runs(widget, full, 8000), 30);
        QCOMPARE(runs(widget, full, 8000, false), 45); // 46 blocks up; full scale fills 45
        QCOMPARE(widget.grab().toImage().pixelColor(5, 228), widget.grab().toImage().pixelColor(12, 228)); // expose: no bars

        QCOMPARE(runs(widget, block({65535, 0}), 8000, true, 15 * 13), 0); // single values repeat
        QCOMPARE(runs(widget, block({65535, 0}), 8000), 15);
        std::vector<quint16> loudFirstHalf(60, 0);
        std::fill(loudFirstHalf.begin(), loudFirstHalf.begin() + 30, 65535);
        QCOMPARE(runs(widget, block(loudFirstHalf), 32000), 30);
        QCOMPARE(runs(widget, block(loudFirstHalf), 8000), 15);

        QCOMPARE(runs(widget, block(std::vector<quint16>(60, 1424)), 8000), 0); // below one block of 46
        for (const auto &[width, bars] : {std::pair{12, 1}, std::pair{10, 0}}) {
            widget.resize(width, 230);
            QCOMPARE(runs(widget, full, 8000), bars);
        }
    }

    void peaksFallFasterAndClear()
    {
        AudioDataAttribute attr;
        attr.showPeak = true;
        attr.peakFall = 1;
        attr.peakColor = kPeak;
        QAudioDataWidget widget(nullptr, &attr);
        widget.resize(4, 256); // one block per pixel: level = value >> 8
        widget.show();
        auto raise = block(std::vector<quint16>(4, 100 << 8));
        auto silence = block(std::vector<quint16>(4, 0));
        auto empty = block({}, 0);
        auto oneByte = block({}, 1);
        widget.setAudioData(raise.data(), 8000);
        QList<int> heights{peakHeight(widget)};
        for (auto *next : {&silence, &empty, &oneByte, &silence, &silence, &silence}) {
            widget.setAudioData(next->data(), 8000);
            heights << peakHeight(widget);
        }
        // A block without a whole value counts as silence: nothing is read, the peak falls on.
        QCOMPARE(heights, QList<int>({100, 100, 100, 99, 97, 94, 90}));

        widget.setAudioData(nullptr, 0);
        QCOMPARE(peakHeight(widget), -1);
        auto low = block(std::vector<quint16>(4, 10 << 8));
        widget.setAudioData(low.data(), 8000);
        QCOMPARE(peakHeight(widget), 10);
    }
};

GLINTORA_TEST_MAIN(TestAudioLevels)
#include "tst_audiolevels.moc"
