#include "qconverterprogresswgt.h"
#include "qzvbaseprogress.h"
#include "skinfixtures.h"
#include "testhome.h"

// The overall progress ring shown over the list during a batch.
class TestProgressRing : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void ringIsCentredSquare_data();
    void ringIsCentredSquare();
    void valueIsClamped_data();
    void valueIsClamped();
};

void TestProgressRing::initTestCase()
{
    SkinFixtures::initToolkitTestEnvironment();
}

void TestProgressRing::ringIsCentredSquare_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QRect>("ring");
    QTest::newRow("default") << QSize(120, 120) << QRect(20, 20, 80, 80);
    QTest::newRow("wide") << QSize(200, 120) << QRect(60, 20, 80, 80);
    QTest::newRow("tall") << QSize(120, 300) << QRect(20, 110, 80, 80);
}

void TestProgressRing::ringIsCentredSquare()
{
    QFETCH(QSize, size);
    QFETCH(QRect, ring);
    const QRect expected = ring;
    QWidget list;
    list.resize(400, 400);
    auto *progress = new QConverterProgressWgt(&list);
    QCOMPARE(progress->size(), QSize(120, 120));
    progress->resize(size);
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    auto *dial = progress->findChild<QZVBaseProgress *>(QStringLiteral("m_progress"));
    QVERIFY(dial);
    QCOMPARE(dial->geometry(), expected);
    QCOMPARE(dial->progressPolicy(), int(QZVBaseProgress::Round));
}

void TestProgressRing::valueIsClamped_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<double>("shown");
    QTest::newRow("above") << 150 << 100.0;
    QTest::newRow("below") << -5 << 0.0;
    QTest::newRow("inside") << 42 << 42.0;
}

void TestProgressRing::valueIsClamped()
{
    QFETCH(int, value);
    QFETCH(double, shown);
    QConverterProgressWgt progress;
    progress.setValue(value);
    QCOMPARE(progress.findChild<QZVBaseProgress *>(QStringLiteral("m_progress"))->value(), shown);
}

GLINTORA_TEST_MAIN(TestProgressRing)
#include "tst_progressring.moc"
