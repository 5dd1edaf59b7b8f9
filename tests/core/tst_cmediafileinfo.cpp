#include "cmediafileinfo.h"
#include "testhome.h"

#include <QtTest>

class TestMediaFileInfo : public QObject
{
    Q_OBJECT

private slots:
    void ratioAndThumbnailTime()
    {
        QCOMPARE(CMediaFileInfo::RatioTimes100(30000, 1001), 2997u);
        QCOMPARE(CMediaFileInfo::RatioTimes100(25, 0), 0u);
        QCOMPARE(CMediaFileInfo::RatioTimes100(0xFFFFFFFFu, 1), 0u); // past 32 bits
        QCOMPARE(CMediaFileInfo::ThumbnailTime(60000000), quint64(30000000));
        QCOMPARE(CMediaFileInfo::ThumbnailTime(4000000), quint64(10000000));
    }
};

GLINTORA_TEST_MAIN_CORE(TestMediaFileInfo)
#include "tst_cmediafileinfo.moc"
