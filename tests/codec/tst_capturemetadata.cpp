#include "testhome.h"

#include "source/capturemetadata.h"

// Dates and places as movies carry them; a form we cannot read must give no tag rather
// than a wrong one.
class TestCaptureMetadata : public QObject
{
    Q_OBJECT

private slots:
    void readsDatesAndPlaces_data()
    {
        QTest::addColumn<QString>("date");
        QTest::addColumn<QString>("place");
        QTest::addColumn<QStringList>("expected"); // date, offset, place in ten-millionths
        QTest::newRow("south-east, no altitude, UTC")
            << "2021-01-02T03:04:05Z" << "-33.8688+151.2093/"
            << QStringList{"2021:01:02 03:04:05", "+00:00", "-338688000 1512093000 no altitude"};
        QTest::newRow("fractional seconds, below the sea")
            << "2023-06-05T14:30:12.345-07:00" << "+37.3349-122.0090-012.5/"
            << QStringList{"2023:06:05 14:30:12", "-07:00", "373349000 -1220090000 -125000000"};
        QTest::newRow("no offset") << "2023-06-05T14:30:12" << ""
                                   << QStringList{"2023:06:05 14:30:12", "", "none"};
        QTest::newRow("degrees and minutes are not degrees")
            << "" << "+3720.09-12200.54/" << QStringList{"", "", "none"};
        QTest::newRow("out of range") << "2023-13-05T14:30:12+0200" << "+97.0000+010.0000/"
                                      << QStringList{"", "", "none"};
        QTest::newRow("prose") << "yesterday" << "north" << QStringList{"", "", "none"};
    }

    void readsDatesAndPlaces()
    {
        QFETCH(QString, date);
        QFETCH(QString, place);
        QFETCH(QStringList, expected);
        CaptureMetadata m;
        m.setCreationDate(date.toStdString());
        m.setLocation(place.toStdString());
        const QString altitude = m.hasAltitude ? QString::number(m.altitude) : "no altitude";
        const QString location = m.hasLocation ? QString("%1 %2 %3").arg(m.latitude).arg(m.longitude).arg(altitude) : "none";
        QCOMPARE((QStringList{QString::fromStdString(m.dateTime), QString::fromStdString(m.timeOffset), location}),
                 expected);
    }
};

GLINTORA_TEST_MAIN_CORE(TestCaptureMetadata)
#include "tst_capturemetadata.moc"
