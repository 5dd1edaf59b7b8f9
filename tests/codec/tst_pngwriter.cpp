#include "still/pngwriter.h"
#include "testhome.h"

#include <QImage>
#include <QRandomGenerator>
#include <QtEndian>

namespace {

enum class Picture { Smooth, RandomBytes, GreyNoise, SpeckledGradient };

uint8_t sample(Picture kind, int x, int y, QRandomGenerator &random)
{
    switch (kind) {
    case Picture::Smooth:
        return uint8_t(x / 5 + y * (x % 3 + 1));
    case Picture::RandomBytes:
        return uint8_t(random.bounded(256));
    case Picture::GreyNoise:
        return uint8_t(128 + random.bounded(16));
    case Picture::SpeckledGradient:
        return uint8_t(x / 21 + y / 5 + (random.bounded(16) == 0));
    }
    return 0;
}

// The rows as PNG holds them unfiltered: a zero filter byte before each.
QByteArray rawRows(const QImage &picture)
{
    QByteArray rows;
    for (int y = 0; y < picture.height(); ++y)
        rows.append('\0').append(reinterpret_cast<const char *>(picture.constScanLine(y)), picture.width() * 3);
    return rows;
}

// The IDAT chunk's zlib stream; the writer puts it right after the header.
QByteArray idat(const std::vector<uint8_t> &image)
{
    constexpr int kAt = 8 + 25;
    const int length = int(qFromBigEndian<quint32>(image.data() + kAt));
    return QByteArray(reinterpret_cast<const char *>(image.data()) + kAt + 8, length);
}

} // namespace

Q_DECLARE_METATYPE(Picture)

class TestPngWriter : public QObject
{
    Q_OBJECT

private slots:
    // A PNG reader gets every pixel back whichever way the rows went in. Smooth pictures
    // go in as differences from the row above, noise around one grey as raw rows, and a
    // speckled gradient, which the quick deflater handles badly, as differences again.
    // Either way the file stays within 5 % of what zlib's level 6 makes of the raw rows.
    void picturesRoundTrip_data()
    {
        QTest::addColumn<Picture>("kind");
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("filter"); // the first row's filter byte; -1 either
        QTest::newRow("smooth") << Picture::Smooth << 150 << 2;
        QTest::newRow("random bytes") << Picture::RandomBytes << 150 << -1;
        QTest::newRow("smooth, shorter than the sample") << Picture::Smooth << 5 << -1;
        QTest::newRow("noise around one grey") << Picture::GreyNoise << 150 << 0;
        QTest::newRow("speckled gradient") << Picture::SpeckledGradient << 150 << 2;
    }
    void picturesRoundTrip()
    {
        QFETCH(Picture, kind);
        QFETCH(int, height);
        QFETCH(int, filter);
        const int width = 255;
        QImage picture(width, height, QImage::Format_RGB888);
        QRandomGenerator random(7);
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width * 3; ++x)
                picture.scanLine(y)[x] = sample(kind, x, y, random);
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

        const QByteArray raw = rawRows(picture);
        const QByteArray deflated = idat(image);
        QByteArray sized(4, '\0');
        qToBigEndian<quint32>(quint32(raw.size()), sized.data());
        const QByteArray rows = qUncompress(sized + deflated);
        QCOMPARE(rows.size(), raw.size());
        if (filter >= 0)
            QCOMPARE(int(rows[0]), filter);
        const int zlibSize = qCompress(raw, 6).size() - 4;
        QVERIFY2(deflated.size() <= zlibSize * 105 / 100,
                 qPrintable(QString("%1 bytes, zlib %2").arg(deflated.size()).arg(zlibSize)));
    }
};

GLINTORA_TEST_MAIN_CORE(TestPngWriter)
#include "tst_pngwriter.moc"
