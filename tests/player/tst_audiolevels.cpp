#include "qaudiodatawidget.h"
#include "testhome.h"

#include <cstring>
#include <vector>

namespace {

const QColor kBar(0, 150, 0);
const QColor kPeak(255, 0, 0);

AudioDataAttribute panelLook()
{
    AudioDataAttribute attr;
    attr.barWidth = 11;
    attr.blockHeight = 3;
    attr.barGap = 2;
    attr.blockGap = 2;
    attr.showPeak = true;
    attr.peakFall = 1;
    attr.cornerRadius = 1.3;
    attr.barColor = kBar;
    attr.peakColor = kBar;
    return attr;
}

// An audio block as the engine hands it on: the byte count at 40, the values from 44.
// The vector is exactly as long as the block, so a read past it shows under ASan.
std::vector<unsigned char> block(const std::vector<quint16> &values, quint32 byteCount)
{
    std::vector<unsigned char> bytes(44 + values.size() * 2);
    std::memcpy(bytes.data() + 40, &byteCount, 4);
    std::memcpy(bytes.data() + 44, values.data(), values.size() * 2);
    return bytes;
}

std::vector<unsigned char> block(const std::vector<quint16> &values)
{
    return block(values, quint32(values.size() * 2));
}

// Runs of the colour along one row or column of the rendered widget.
int runs(const QImage &image, const QColor &color, bool row, int at)
{
    int count = 0;
    bool inside = false;
    const int length = row ? image.width() : image.height();
    for (int i = 0; i < length; ++i) {
        const QColor c = image.pixelColor(row ? i : at, row ? at : i);
        const bool hit = qAbs(c.red() - color.red()) < 40 && qAbs(c.green() - color.green()) < 40
            && qAbs(c.blue() - color.blue()) < 40 && c.alpha() > 200;
        count += hit && !inside;
        inside = hit;
    }
    return count;
}

// The row of the peak mark in column x, counted up from the bottom row; -1 without one.
int peakHeight(QAudioDataWidget &widget, int x = 0)
{
    const QImage image = widget.grab().toImage();
    for (int y = 0; y < image.height(); ++y)
        if (image.pixelColor(x, y) == kPeak)
            return image.height() - 2 - y;
    return -1;
}

} // namespace

class TestAudioLevels : public QObject
{
    Q_OBJECT

private slots:
    void barsAndBlocksFitTheWidget()
    {
        const AudioDataAttribute attr = panelLook();
        QAudioDataWidget widget(nullptr, &attr);
        widget.resize(390, 230);
        widget.show();
        auto full = block(std::vector<quint16>(60, 65535));
        widget.setAudioData(full.data(), 8000);
        const QImage image = widget.grab().toImage();
        QCOMPARE(runs(image, kBar, true, 228), 30);
        QCOMPARE(runs(image, kBar, false, 5), 45); // 46 blocks up: a full-scale value fills 45
        QCOMPARE(runs(widget.grab().toImage(), kBar, true, 228), 0); // an expose shows no bars

        for (const auto &[width, bars] : {std::pair{12, 1}, std::pair{10, 0}}) {
            widget.resize(width, 230);
            widget.setAudioData(full.data(), 8000);
            QCOMPARE(runs(widget.grab().toImage(), kBar, true, 228), bars);
        }
    }

    void binsAndRate()
    {
        const AudioDataAttribute attr = panelLook();
        QAudioDataWidget widget(nullptr, &attr);
        widget.resize(390, 230);
        widget.show();
        // More bars than values: each bar repeats a single value.
        auto two = block({65535, 0});
        widget.setAudioData(two.data(), 8000);
        QImage image = widget.grab().toImage();
        QCOMPARE(runs(image.copy(0, 0, 15 * 13, 230), kBar, true, 228), 15);
        QCOMPARE(runs(image.copy(15 * 13, 0, 390 - 15 * 13, 230), kBar, true, 228), 0);

        std::vector<quint16> halves(60, 0);
        std::fill(halves.begin(), halves.begin() + 30, 65535);
        auto loudFirst = block(halves);
        widget.setAudioData(loudFirst.data(), 32000); // only the first half is used
        QCOMPARE(runs(widget.grab().toImage(), kBar, true, 228), 30);
        widget.setAudioData(loudFirst.data(), 8000);
        image = widget.grab().toImage();
        QCOMPARE(runs(image.copy(15 * 13, 0, 390 - 15 * 13, 230), kBar, true, 228), 0);

        unsigned short values[] = {65535, 1424};
        unsigned int levels[2];
        TransData(values, 2, levels, 2, 46);
        QCOMPARE(levels[0], 45u);
        QCOMPARE(levels[1], 0u);
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
        // An empty block counts as silence: nothing is read and the peak falls on.
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
