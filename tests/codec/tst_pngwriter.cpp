#include "still/pngwriter.h"
#include "testhome.h"

#include <QImage>
#include <QRandomGenerator>

class TestPngWriter : public QObject
{
    Q_OBJECT

private slots:
    // Smooth pictures take the row-difference filter and the other deflater, noisy ones
    // raw rows: either way a PNG reader must get every pixel back.
    void picturesRoundTrip_data()
    {
        QTest::addColumn<bool>("smooth");
        QTest::addColumn<int>("height");
        QTest::newRow("smooth") << true << 150;
        QTest::newRow("noise") << false << 150;
        QTest::newRow("smooth, shorter than the sample") << true << 5;
    }
    void picturesRoundTrip()
    {
        QFETCH(bool, smooth);
        QFETCH(int, height);
        const int width = 99;
        QImage picture(width, height, QImage::Format_RGB888);
        QRandomGenerator random(7);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width * 3; ++x)
                picture.scanLine(y)[x] = uint8_t(smooth ? x / 5 + y * (x % 3 + 1) : random.bounded(256));
        AVFrame frame{};
        frame.data[0] = picture.bits();
        frame.linesize[0] = int(picture.bytesPerLine());
        frame.width = width;
        frame.height = height;
        PngWriter writer;
        std::vector<uint8_t> image;
        QVERIFY(writer.open(width, height, AV_PIX_FMT_RGB24));
        QVERIFY(writer.encode(&frame, image));
        const QImage read = QImage::fromData(image.data(), int(image.size()), "PNG");
        QCOMPARE(read.convertToFormat(QImage::Format_RGB888), picture);
    }
};

GLINTORA_TEST_MAIN_CORE(TestPngWriter)
#include "tst_pngwriter.moc"
