#include "skinmanifest.h"
#include "testhome.h"

#include <QDirIterator>
#include <QRegularExpression>

// The built resource folder holds every skin image the manifest names, with the pixel
// size its layout needs, and every image path written in the sources.
class TestSkinImages : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void manifestImagesAreBuilt_data();
    void manifestImagesAreBuilt();
    void sourcePathsExist_data();
    void sourcePathsExist();

private:
    SkinManifest m_manifest;
};

namespace {

QSize framesOf(const QString &kind)
{
    if (kind == QLatin1String("s4"))
        return QSize(4, 1);
    if (kind == QLatin1String("g4x2") || kind == QLatin1String("i4x2"))
        return QSize(4, 2);
    if (kind == QLatin1String("v3"))
        return QSize(1, 3);
    return QSize(1, 1);
}

QStringList sourceImagePaths()
{
    // Every folder of code except the tests, whose fixtures are synthetic.
    static const QStringList folders = {"store", "codec", "tags", "core", "toolkit", "views",
                                        "platform", "app", "list", "dialogs", "player"};
    static const QRegularExpression literal(QStringLiteral("\"(/(?:image|pic)/[^\"%]+)\""));
    QStringList paths;
    for (const QString &folder : folders) {
        QDirIterator it(QStringLiteral(GLINTORA_SOURCE_DIR "/") + folder, {"*.cpp", "*.h", "*.ui"},
                        QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            if (!file.open(QIODevice::ReadOnly))
                continue;
            const QString text = QString::fromUtf8(file.readAll());
            for (auto match = literal.globalMatch(text); match.hasNext();)
                paths.append(match.next().captured(1));
        }
    }
    paths.removeDuplicates();
    return paths;
}

}

void TestSkinImages::initTestCase()
{
    m_manifest = SkinManifest::read(QStringLiteral(GLINTORA_SKIN_MANIFEST));
    QVERIFY2(m_manifest.error.isEmpty(), qPrintable(m_manifest.error));
    QVERIFY(!m_manifest.outputs.isEmpty());
}

void TestSkinImages::manifestImagesAreBuilt_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QSize>("frame");
    const SkinManifest manifest = SkinManifest::read(QStringLiteral(GLINTORA_SKIN_MANIFEST));
    for (const SkinOutput &output : manifest.outputs)
        QTest::newRow(qPrintable(output.path)) << output.path << output.kind << output.frame;
}

void TestSkinImages::manifestImagesAreBuilt()
{
    QFETCH(QString, path);
    QFETCH(QString, kind);
    QFETCH(QSize, frame);
    const QImage image(QStringLiteral(GLINTORA_RESOURCE_DIR) + path);
    QVERIFY2(!image.isNull(), "missing or unreadable");
    const int scale = kind == QLatin1String("x1") ? 1 : 2;
    const QSize frames = framesOf(kind);
    const QSize pixels(frame.width() * scale, frame.height() * scale);
    QCOMPARE(image.size(), QSize(pixels.width() * frames.width(), pixels.height() * frames.height()));
    // State frames must be told apart, or the control shows no hover or press.
    for (int i = 1; i < frames.width(); ++i) {
        const QImage first = image.copy(0, 0, pixels.width(), pixels.height());
        const QImage other = image.copy(i * pixels.width(), 0, pixels.width(), pixels.height());
        QVERIFY2(first != other, qPrintable(QStringLiteral("frame %1 equals frame 0").arg(i)));
    }
}

void TestSkinImages::sourcePathsExist_data()
{
    QTest::addColumn<QString>("path");
    const QStringList paths = sourceImagePaths();
    if (paths.isEmpty())
        QTest::newRow("no image paths yet") << QString();
    for (const QString &path : paths)
        QTest::newRow(qPrintable(path)) << path;
}

void TestSkinImages::sourcePathsExist()
{
    QFETCH(QString, path);
    if (path.isEmpty())
        QSKIP("no source names an image yet");
    QVERIFY2(QFile::exists(QStringLiteral(GLINTORA_RESOURCE_DIR) + path), qPrintable(path));
    QVERIFY2(!QImage(QStringLiteral(GLINTORA_RESOURCE_DIR) + path).isNull(), qPrintable(path));
}

GLINTORA_TEST_MAIN_CORE(TestSkinImages)
#include "tst_skinimages.moc"
