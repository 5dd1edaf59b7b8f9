#include "ibasechunk.h"
#include "qchunkcontrol.h"
#include "testhome.h"

#include <cstring>

namespace {

// Opens the store's key query to the test.
class ProbeChunk : public IBaseChunk
{
public:
    using QDataStorage::containsKey;
};

// A derived record that keeps its typed values somewhere else entirely.
class RedirectingChunk : public IBaseChunk
{
public:
    void setIntValue(std::string key, int value) override { IBaseChunk::setIntValue("own/" + key, value); }
    int getIntValue(std::string key) override { return IBaseChunk::getIntValue("own/" + key); }
    void setStringValue(std::string key, std::string value) override
    {
        IBaseChunk::setStringValue("own/" + key, value);
    }
    std::string getStringValue(std::string key) override { return IBaseChunk::getStringValue("own/" + key); }
    using QDataStorage::containsKey;
};

quint64 bitsOf(double value)
{
    quint64 bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

} // namespace

class TestBaseChunk : public QObject
{
    Q_OBJECT

private slots:
    void freshRecordHoldsUncheckedState()
    {
        ProbeChunk chunk;
        QVERIFY(chunk.containsKey("Item_check_key"));
        QCOMPARE(chunk.GetCheck(), 0);
        QVERIFY(chunk.getEnable());
        QVERIFY(chunk.getControlShow());
        QVERIFY(!chunk.isDeleted());
        QVERIFY(chunk.getColumnEnable(0) && chunk.getColumnEnable(31));
    }

    void missingKeysReadEmptyWithoutBeingAdded()
    {
        ProbeChunk chunk;
        QCOMPARE(chunk.getIntValue("absent"), 0);
        QCOMPARE(chunk.getInt64Value("absent"), 0LL);
        QCOMPARE(chunk.getBoolValue("absent"), false);
        QCOMPARE(chunk.getDoubleValue("absent"), 0.0);
        QCOMPARE(chunk.getStringValue("absent"), std::string());
        QVERIFY(!chunk.containsKey("absent"));
    }

    void typedValuesRoundTripWithTheirSizes()
    {
        ProbeChunk chunk;
        chunk.setIntValue("int", -123456);
        chunk.setInt64Value("int64", -(1LL << 40) - 7);
        chunk.setBoolValue("bool", true);
        const double awkward = -0.1 + 1e-300;
        chunk.setDoubleValue("double", awkward);
        chunk.setStringValue("text", std::string("a\0b", 3));

        QCOMPARE(chunk.getIntValue("int"), -123456);
        QCOMPARE(chunk.getInt64Value("int64"), -(1LL << 40) - 7);
        QCOMPARE(chunk.getBoolValue("bool"), true);
        QCOMPARE(bitsOf(chunk.getDoubleValue("double")), bitsOf(awkward));
        QCOMPARE(chunk.getStringValue("text"), std::string("a\0b", 3));

        QCOMPARE(chunk.getStringValue("int").size(), size_t(4));
        QCOMPARE(chunk.getStringValue("int64").size(), size_t(8));
        QCOMPARE(chunk.getStringValue("bool").size(), size_t(1));
        QCOMPARE(chunk.getStringValue("double").size(), size_t(8));
    }

    void anyTypeReplacesTheKeysValue()
    {
        ProbeChunk chunk;
        chunk.setBoolValue("key", true);
        chunk.setStringValue("key", "text");
        QCOMPARE(chunk.getStringValue("key"), std::string("text"));
        chunk.setIntValue("key", 7);
        QCOMPARE(chunk.getStringValue("key").size(), size_t(4));
        QCOMPARE(chunk.getIntValue("key"), 7);
    }

    // Run under the address sanitizer: a shorter value must never be read past its end.
    void shortValuesFillOnlyTheirBytes()
    {
        ProbeChunk chunk;
        chunk.setBoolValue("flag", true);
        QCOMPARE(chunk.getInt64Value("flag"), 1LL);
        chunk.setStringValue("odd", "\x02");
        QCOMPARE(chunk.getBoolValue("odd"), false);
        QCOMPARE(chunk.getIntValue("odd"), 2);
        chunk.setStringValue("empty", "");
        QCOMPARE(chunk.getDoubleValue("empty"), 0.0);
    }

    void checkStateAndDateGoThroughTheVirtualStore()
    {
        RedirectingChunk chunk;
        chunk.SetCheck(2);
        chunk.setDate("2026.12.09 01:02:03");
        QVERIFY(chunk.containsKey("own/Item_check_key"));
        QVERIFY(chunk.containsKey("own/CHUNK_DATE_KEY"));
        QCOMPARE(chunk.GetCheck(), 2);
        QCOMPARE(chunk.getDate(), std::string("2026.12.09 01:02:03"));
    }

    void resetClearsOnlyIdentityAndTitle()
    {
        IBaseChunk chunk;
        int owner = 0;
        chunk.SetID(9);
        chunk.SetOwner(&owner);
        chunk.SetTitle("title");
        chunk.SetCheck(1);
        chunk.setDate("date");
        chunk.setImage("image.png");
        chunk.setThumbnailImage("thumb.png");
        chunk.setIsDeleted(true);
        chunk.setData(&owner);

        chunk.Reset();

        QCOMPARE(chunk.GetID(), 0);
        QCOMPARE(chunk.GetOwner(), nullptr);
        QCOMPARE(chunk.GetTitle(), std::string());
        QCOMPARE(chunk.GetCheck(), 1);
        QCOMPARE(chunk.getDate(), std::string("date"));
        QCOMPARE(chunk.GetImage(), std::string("image.png"));
        QCOMPARE(chunk.getThumbnailImage(), std::string("thumb.png"));
        QVERIFY(chunk.isDeleted());
        QCOMPARE(chunk.getData(), static_cast<void *>(&owner));
    }

    void columnMask_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<bool>("followsMask");
        QTest::newRow("first") << 0 << true;
        QTest::newRow("last bit") << 31 << true;
        QTest::newRow("past the mask") << 32 << false;
        QTest::newRow("far past") << 40 << false;
        QTest::newRow("negative") << -1 << false;
    }

    void columnMask()
    {
        QFETCH(int, column);
        QFETCH(bool, followsMask);
        IBaseChunk chunk;
        chunk.setColumnEnable(column, false);
        QCOMPARE(chunk.getColumnEnable(column), !followsMask);
        chunk.setColumnEnable(column, true);
        QVERIFY(chunk.getColumnEnable(column));
        for (int other = 0; other < 32; ++other)
            QVERIFY(chunk.getColumnEnable(other));
    }

    void lockIsOptional()
    {
        IBaseChunk plain;
        plain.Lock();
        plain.UnLock();
        IBaseChunk locked(true);
        locked.Lock();
        locked.UnLock();
        QVERIFY(locked.remove());
        locked.SetCheck(2);
        QCOMPARE(locked.GetCheck(), 2);
    }

    void chunkControlKeepsOneAttributePerWidget()
    {
        IBaseChunk chunk;
        QChunkControl *control = chunk.getChunkControl();
        QCOMPARE(chunk.getChunkControl(), control);
        auto *widget = reinterpret_cast<QWidget *>(&chunk);
        control->addControl(nullptr, QChunkControl::ButtonControl);
        QCOMPARE(control->getControlAttribute(nullptr), nullptr);
        QCOMPARE(control->getControlAttribute(widget), nullptr);
        control->addControl(widget, QChunkControl::ButtonControl);
        control->getControlAttribute(widget)->state = 3;
        control->addControl(widget, QChunkControl::CheckControl);
        QCOMPARE(control->getControlAttribute(widget)->state, quint8(0));
        QCOMPARE(control->getControlAttribute(widget)->type, QChunkControl::CheckControl);
    }
};

GLINTORA_TEST_MAIN_CORE(TestBaseChunk)
#include "tst_basechunk.moc"
