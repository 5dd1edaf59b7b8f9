#include "photoconverterinfo.h"
#include "qconverteroperate.h"
#include "qformatchunk.h"
#include "qformatdlg.h"
#include "qformatlistdelegate.h"
#include "qianyutil.h"
#include "qvideosettingxml.h"
#include "skinfixtures.h"
#include "testhome.h"

#include <QAbstractItemModelTester>
#include <QPainter>

using SkinFixtures::near;

namespace {

struct Row
{
    const char *title;
    const char *format;
    uint codecId;
    bool quality;
    bool exif;
    bool animation;
    const char *animationSuffix;
    const char *animationFormat;
    uint animationCodecId;
    int frameFormat;
};

const Row kRows[] = {
    {"JPG", "jpeg", 8, true, true, false, "mp4", "mp4", 28, -1},
    {"PNG", "png", 62, false, false, true, "png", "apng", 0x41504E47, -1},
    {"BMP", "bmp", 79, false, false, false, "mp4", "mp4", 28, -1},
    {"GIF", "gif", 98, false, false, true, "gif", "gif", 98, -1},
    {"WEBP", "webp", 0x57454250, true, false, true, "webp", "webp", 0x57454250, -1},
    {"TIFF", "tiff", 97, false, false, false, "mp4", "mp4", 28, 2},
};

const QColor Top(220, 0, 0), Middle(0, 180, 0), Bottom(0, 0, 220), Plain(242, 242, 242), Yellow(255, 218, 43),
    Outline(213, 214, 215);

QByteArray file(const QString &name)
{
    QFile f(QIAnyUtil::getAppDataPath() + "/" + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

// The format popup driven through its controls, with its records, model and icon painter.
class TestFormatPopup : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;
    PhotoConverterInfo m_info;
    QStringList m_signals;

    QFormatDlg *shownPopup()
    {
        QFormatDlg *popup = QFormatDlg::getFormatWidget(nullptr);
        connect(popup, &QFormatDlg::settingChangeForFormat, this, [this] { m_signals << "change"; });
        connect(popup, &QFormatDlg::sendSuffixChange, this, [this](const QString &title) { m_signals << title; });
        popup->show();
        (void)QTest::qWaitForWindowExposed(popup);
        return popup;
    }

    static void choose(QFormatDlg *popup, int row)
    {
        QWidget *viewport = popup->m_listView->viewport();
        QTest::mouseClick(viewport, Qt::LeftButton, {}, popup->m_listView->visualRect(popup->m_listView->model()->index(row, 0)).center());
    }

    // Three stacked bands, one colour each, as a format icon strip is laid out.
    QString strip(int height)
    {
        QImage image(40, height, QImage::Format_ARGB32);
        QPainter painter(&image);
        const int band = height / 3;
        painter.fillRect(0, 0, 40, band, Top);
        painter.fillRect(0, band, 40, band, Middle);
        painter.fillRect(0, 2 * band, 40, height - 2 * band, Bottom);
        painter.end();
        return SkinFixtures::save(m_dir, QStringLiteral("strip%1.png").arg(height), image);
    }

private slots:
    void initTestCase() { SkinFixtures::initToolkitTestEnvironment(); }

    void init()
    {
        QFormatDlg::resetInstanceForTests();
        QFile::remove(QIAnyUtil::getAppDataPath() + "/VideoDefaultSetting.xml");
        QFile::remove(QIAnyUtil::getAppDataPath() + "/PhotoConverterSetting.xml");
        QVideoSettingXml::GetItemValue("FormatSet", "Format_ID", "JPG");
        m_info = PhotoConverterInfo();
        QConverterOperate::g_converterInfo = &m_info;
        m_signals.clear();
    }

    void recordsAndModel()
    {
        QFormatChunk fresh;
        QCOMPARE(fresh.getFrameFormat(), -1);
        QCOMPARE(fresh.getAnimationCodecId(), 0u);
        QVERIFY(!fresh.getSupportQuality() && !fresh.getSupportExif() && !fresh.getSupportAnimation());
        QVERIFY(fresh.getFormat().empty() && fresh.getAnimationSuffix().empty() && fresh.getAnimationFormat().empty());

        QAbstractItemModel *model = QFormatDlg::getFormatWidget(nullptr)->m_listView->model();
        QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model->rowCount(), 6);
        QCOMPARE(model->columnCount(), 1);
        for (int row = 0; row < 6; ++row) {
            const Row &expected = kRows[row];
            const QModelIndex index = model->index(row, 0);
            const auto *record = static_cast<QFormatChunk *>(index.internalPointer());
            QCOMPARE(index.data(0).toString(), QString(expected.title));
            QCOMPARE(index.data(1).toString(), QIAnyUtil::getResourcePath() + "/image/Format/" + expected.title + ".png");
            QVERIFY(!index.data(10).isValid());
            QCOMPARE(index.data(13).toSize(), QSize(160, 110));
            QCOMPARE(index.data(256).toString(), QString());
            QCOMPARE(index.data(Qt::BackgroundRole).value<QBrush>().color(), Plain);
            QCOMPARE(record->getFormat(), std::string(expected.format));
            QCOMPARE(uint(const_cast<QFormatChunk *>(record)->GetID()), expected.codecId);
            QCOMPARE(record->getSupportQuality(), expected.quality);
            QCOMPARE(record->getSupportExif(), expected.exif);
            QCOMPARE(record->getSupportAnimation(), expected.animation);
            QCOMPARE(record->getAnimationSuffix(), std::string(expected.animationSuffix));
            QCOMPARE(record->getAnimationFormat(), std::string(expected.animationFormat));
            QCOMPARE(record->getAnimationCodecId(), expected.animationCodecId);
            QCOMPARE(record->getFrameFormat(), expected.frameFormat);
        }
        QVERIFY(!model->data(QModelIndex(), 0).isValid());
    }

    void delegateDrawsOneFrame_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QColor>("icon");
        QTest::newRow("selected") << 90 << true << Top;
        QTest::newRow("unselected") << 90 << false << Middle;
        QTest::newRow("missing icon") << 0 << false << QColor();
        QTest::newRow("301 high, selected") << 301 << true << Top;
        QTest::newRow("301 high, unselected") << 301 << false << Middle;
    }

    void delegateDrawsOneFrame()
    {
        QFETCH(int, height);
        QFETCH(bool, selected);
        QFETCH(QColor, icon);
        QFormatChunk record;
        record.setImage((height ? strip(height) : m_dir.filePath("missing.png")).toStdString());
        std::vector<IBaseChunk *> records{&record};
        QIconListModel model;
        model.setItemBgColor(Plain, Plain);
        model.setDatas(&records);
        QFormatListDelegate delegate;
        delegate.setImageMargins(60, 55, 60, 15);
        delegate.setSelectedBackgroundColor(Yellow);
        QStyleOptionViewItem option;
        option.rect = QRect(20, 10, 160, 110);
        option.state = selected ? QStyle::State_Enabled | QStyle::State_Selected : QStyle::State_Enabled;
        QImage canvas(220, 140, QImage::Format_ARGB32);
        canvas.fill(Qt::transparent);
        QPainter painter(&canvas);
        delegate.paint(&painter, option, model.index(0, 0));
        painter.end();

        const QRect R = option.rect;
        const QColor background = selected ? Yellow : Plain;
        const QPoint at(R.x() + (R.width() - 40) / 2 + 18, R.y() + 55);
        const QSize shown(20, height / 6);
        if (height > 0) {
            QVERIFY(near(canvas.pixelColor(at + QPoint(1, 1)), icon));
            QVERIFY(near(canvas.pixelColor(at + QPoint(shown.width() - 2, shown.height() - 1)), icon));
            QVERIFY(near(canvas.pixelColor(at + QPoint(shown.width() + 1, 2)), background));
            QVERIFY(near(canvas.pixelColor(at + QPoint(2, shown.height() + 1)), background));
        }
        QVERIFY(near(canvas.pixelColor(at - QPoint(1, 1)), background));
        const QColor edge = selected ? Yellow : Outline;
        for (const QPoint &p : {QPoint(R.x(), R.y() + 50), QPoint(R.x() + 80, R.y()), QPoint(R.right(), R.y() + 50),
                                QPoint(R.x() + 80, R.bottom())})
            QVERIFY2(near(canvas.pixelColor(p), edge), qPrintable(QString("%1,%2").arg(p.x()).arg(p.y())));
        QVERIFY(near(canvas.pixelColor(R.x() + 1, R.y() + 50), background));
    }

    void constructionAndLayout()
    {
        QFormatDlg *popup = shownPopup();
        QCOMPARE(popup->objectName(), QString("QFormatDlg"));
        QCOMPARE(popup->size(), QSize(516, 434));
        QCOMPARE(popup->maximumSize(), QSize(516, 434));
        QCOMPARE(popup->windowTitle(), QString("Format Setting"));
        QCOMPARE(popup->m_editW->placeholderText(), QString("Auto"));
        QCOMPARE(popup->m_editH->placeholderText(), QString("Auto"));
        const QList<QPair<QString, QString>> texts{{popup->m_labResolution->text(), "Resolution:"},
                                                   {popup->m_labQuality->text(), "Quality:"},
                                                   {popup->m_labX->text(), "x"},
                                                   {popup->m_btnOk->text(), "OK"},
                                                   {popup->m_btnCancel->text(), "Cancel"},
                                                   {popup->m_chkKeepAspectRatio->text(), "Keep aspect ratio"},
                                                   {popup->m_chkAllOutput->text(), "Output all images"},
                                                   {popup->m_chkKeepExif->text(), "Keep Exif information"}};
        for (const auto &[actual, expected] : texts)
            QCOMPARE(actual, expected);
        QVERIFY(popup->m_chkAllOutput->isHidden() && popup->m_chkKeepExif->isHidden());
        QVERIFY(popup->m_chkKeepAspectRatio->isVisible());
        QCOMPARE(popup->m_chkKeepExif->size(), QSize(200, 16));
        QCOMPARE(popup->m_spinboxQuality->minimum(), 1);
        QCOMPARE(popup->m_spinboxQuality->maximum(), 100);
        QCOMPARE(popup->m_sliderQuality->minimum(), 1.0);
        QCOMPARE(popup->m_sliderQuality->maximum(), 100.0);
        for (const char *name : {"m_btnTitleClose", "m_btnTitleMin", "m_btnTitleMax"}) {
            auto *button = popup->findChild<QPushButton *>(name);
            QVERIFY2(button->isVisible() && button->isEnabled() == (QByteArray(name) == "m_btnTitleClose"), name);
        }
        for (QPushButton *button : {popup->m_btnOk, popup->m_btnCancel})
            QVERIFY(!button->autoDefault() && !button->isDefault());

        QCOMPARE(popup->m_listView->geometry(), QRect(8, 45, 500, 230));
        QCOMPARE(popup->m_btnOk->geometry(), QRect(408, 389, 80, 24));
        QCOMPARE(popup->m_btnCancel->geometry(), QRect(312, 389, 80, 24));
        const QRect resolution = popup->m_labResolution->geometry();
        const QRect quality = popup->m_labQuality->geometry();
        QCOMPARE(resolution.right(), 97);
        QCOMPARE(quality.right(), 97);
        QCOMPARE(resolution.top(), 274 + 20);
        QCOMPARE(quality.top(), resolution.bottom() + 20);
        const QRect w = popup->m_editW->geometry(), x = popup->m_labX->geometry(), h = popup->m_editH->geometry();
        QCOMPARE(w.topLeft(), QPoint(107, resolution.top() + (resolution.height() - 22) / 2));
        QCOMPARE(x.topLeft(), QPoint(w.right() + 8, w.top() + (22 - x.height()) / 2));
        QCOMPARE(h.topLeft(), QPoint(x.right() + 8, w.top()));
        QCOMPARE(popup->m_sliderQuality->geometry(), QRect(quality.right() + 3, quality.top() + (quality.height() - 20) / 2, 75, 20));
        QCOMPARE(popup->m_spinboxQuality->geometry(), QRect(h.x(), quality.top() + (quality.height() - 22) / 2, 50, 22));
        const QRect all = popup->m_chkAllOutput->geometry(), keep = popup->m_chkKeepAspectRatio->geometry();
        QCOMPARE(all.topLeft(), QPoint(h.right() + 70, 274 + 15));
        QCOMPARE(keep.topLeft(), QPoint(all.x(), all.bottom() + 7));

        const QImage shot = popup->grab().toImage();
        // A stroked path: its right and bottom lines lie at x + width and y + height.
        const QRect box(keep.x() - 30, keep.y() - 20, keep.width() + 100, keep.height() + 40);
        const QPoint middle = box.center();
        for (const QPoint &p : {QPoint(middle.x(), box.y()), QPoint(middle.x(), box.y() + box.height()),
                                QPoint(box.x(), middle.y()), QPoint(box.x() + box.width(), middle.y())})
            QVERIFY2(near(shot.pixelColor(p), QColor(212, 212, 212), 0), qPrintable(QString("%1,%2").arg(p.x()).arg(p.y())));
        const QStringList titles{"JPG", "PNG", "BMP", "GIF", "WEBP", "TIFF"};
        for (int row = 0; row < 6; ++row)
            QCOMPARE(popup->m_listView->model()->index(row, 0).data().toString(), titles[row]);
    }

    void applyThroughTheControls_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("width");
        QTest::addColumn<QString>("height");
        QTest::addColumn<double>("fraction");
        QTest::newRow("JPG") << 0 << "640" << "480" << 0.0;
        QTest::newRow("PNG") << 1 << "" << "" << -1.0;
        QTest::newRow("BMP") << 2 << "320" << "" << -1.0;
        QTest::newRow("GIF") << 3 << "" << "200" << -1.0;
        QTest::newRow("WEBP") << 4 << "1024" << "768" << 0.3;
        QTest::newRow("TIFF") << 5 << "" << "" << -1.0;
    }

    void applyThroughTheControls()
    {
        QFETCH(int, row);
        QFETCH(QString, width);
        QFETCH(QString, height);
        QFETCH(double, fraction);
        const Row &expected = kRows[row];
        const QString title(expected.title);
        QFormatDlg *popup = shownPopup();
        choose(popup, row);
        QCOMPARE(popup->m_editW->text(), QString());
        QCOMPARE(popup->m_spinboxQuality->value(), 100);
        QVERIFY(popup->m_chkKeepAspectRatio->isChecked());
        QCOMPARE(popup->m_chkKeepExif->isChecked(), expected.exif);
        QCOMPARE(popup->m_chkKeepExif->isEnabled(), expected.exif);
        QCOMPARE(popup->m_sliderQuality->isEnabled(), expected.quality);
        QCOMPARE(popup->m_spinboxQuality->isEnabled(), expected.quality);
        QTest::keyClicks(popup->m_editW, width);
        QTest::keyClicks(popup->m_editH, height);
        int quality = 100;
        if (fraction >= 0) {
            QZVBaseSlider *slider = popup->m_sliderQuality;
            const int x = slider->getTLOffset() + int(fraction * slider->getValidLenght());
            QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(x, 10));
            quality = qBound(1, int((x - slider->getTLOffset()) / slider->getValidLenght() * 100), 100);
            QCOMPARE(popup->m_spinboxQuality->value(), quality);
            QCOMPARE(slider->value(), double(quality));
        }
        QVERIFY(m_signals.isEmpty());
        QCOMPARE(QVideoSettingXml::GetItemValue("FormatSet", "Format_ID", ""), QString("JPG"));
        QVERIFY(file("PhotoConverterSetting.xml").isEmpty());
        QTest::mouseClick(popup->m_btnOk, Qt::LeftButton);

        QVERIFY(popup->isHidden());
        QCOMPARE(m_signals, QStringList({"change", title}));
        QCOMPARE(m_info.format, QString(expected.format));
        QCOMPARE(m_info.extension, title.toLower());
        QCOMPARE(m_info.codecId, expected.codecId);
        QCOMPARE(m_info.width, width.toInt());
        QCOMPARE(m_info.height, height.toInt());
        QCOMPARE(m_info.quality, quality);
        QVERIFY(!m_info.allOutput);
        QCOMPARE(m_info.keepExif, expected.exif);
        QVERIFY(m_info.keepAspectRatio);
        QCOMPARE(m_info.supportAnimation, expected.animation);
        QCOMPARE(m_info.animationSuffix, QString(expected.animationSuffix));
        QCOMPARE(m_info.animationFormat, QString(expected.animationFormat));
        QCOMPARE(m_info.animationCodecId, expected.animationCodecId);
        QCOMPARE(m_info.frameFormat, expected.frameFormat);
        QCOMPARE(QVideoSettingXml::GetItemValue("FormatSet", "Format_ID", ""), title);
        PhotoConverterInfo stored;
        QVERIFY(QVideoSettingXml::GetDefaultPtConvertInfo(title, &stored));
        QCOMPARE(QList<int>({stored.width, stored.height, stored.quality}), QList<int>({width.toInt(), height.toInt(), quality}));
    }

    void doubleClickAppliesAndStores()
    {
        QFormatDlg *popup = shownPopup();
        const QPoint centre = popup->m_listView->visualRect(popup->m_listView->model()->index(3, 0)).center();
        QTest::mouseClick(popup->m_listView->viewport(), Qt::LeftButton, {}, centre);
        QTest::mouseDClick(popup->m_listView->viewport(), Qt::LeftButton, {}, centre);
        QVERIFY(popup->isHidden());
        QCOMPARE(m_signals, QStringList({"change", "GIF"}));
        QCOMPARE(QVideoSettingXml::GetItemValue("FormatSet", "Format_ID", ""), QString("GIF"));
    }

    void closingWithoutOkAppliesNothing_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("Cancel") << "m_btnCancel";
        QTest::newRow("title close") << "m_btnTitleClose";
        QTest::newRow("window close") << "";
    }

    void closingWithoutOkAppliesNothing()
    {
        QFETCH(QString, how);
        QFormatDlg *popup = shownPopup();
        choose(popup, 4);
        QTest::keyClicks(popup->m_editW, "321");
        QTest::mouseClick(popup->m_sliderQuality, Qt::LeftButton, {}, QPoint(30, 10));
        const QByteArray settings = file("VideoDefaultSetting.xml");
        if (how.isEmpty())
            popup->close();
        else
            QTest::mouseClick(popup->findChild<QPushButton *>(how), Qt::LeftButton);
        QVERIFY(popup->isHidden());
        QVERIFY(m_signals.isEmpty());
        QCOMPARE(m_info.format, QString("png"));
        QCOMPARE(m_info.width, 0);
        QCOMPARE(file("VideoDefaultSetting.xml"), settings);
        QVERIFY(file("PhotoConverterSetting.xml").isEmpty());
    }

    void editsKeepFiveDigits()
    {
        QFormatDlg *popup = shownPopup();
        for (QLineEdit *edit : {popup->m_editW, popup->m_editH}) {
            QTest::keyClicks(edit, "123456");
            QCOMPARE(edit->text(), QString("12345"));
        }
    }

    void escapeAndReturnDoNothing_data()
    {
        QTest::addColumn<QString>("focused");
        QTest::newRow("list") << "m_listView";
        QTest::newRow("edit") << "m_editW";
        QTest::newRow("OK") << "m_btnOk";
    }

    void escapeAndReturnDoNothing()
    {
        QFETCH(QString, focused);
        QFormatDlg *popup = shownPopup();
        choose(popup, 3);
        QWidget *target = popup->findChild<QWidget *>(focused);
        target->setFocus();
        for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter})
            QTest::keyClick(target, key);
        QVERIFY(popup->isVisible());
        QVERIFY(m_signals.isEmpty());
        QCOMPARE(m_info.format, QString("png"));
    }
};

GLINTORA_TEST_MAIN(TestFormatPopup)
#include "tst_formatpopup.moc"
