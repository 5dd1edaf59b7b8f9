#include "photoconverterinfo.h"
#include "qconverteroperate.h"
#include "qformatchunk.h"
#include "qformatdlg.h"
#include "qformatlistdelegate.h"
#include "qianyutil.h"
#include "qvideosettingxml.h"
#include "skinfixtures.h"
#include "tabchain.h"
#include "testhome.h"

#include <QAbstractItemModelTester>
#include <QPainter>

using SkinFixtures::near;

namespace {

// Title, format, codec id, quality, EXIF, animation, its extension, format and codec id, frame format.
const QStringList kTable{"JPG jpeg 8 1 1 0 mp4 mp4 28 -1",
                         "PNG png 62 0 0 1 png apng 1095781959 -1",
                         "BMP bmp 79 0 0 0 mp4 mp4 28 -1",
                         "GIF gif 98 0 0 1 gif gif 98 -1",
                         "WEBP webp 1464156752 1 0 1 webp webp 1464156752 -1",
                         "TIFF tiff 97 0 0 0 mp4 mp4 28 2"};
const QColor Top(220, 0, 0), Middle(0, 180, 0), Plain(242, 242, 242), Yellow(255, 218, 43);

template <class... Values> QString joined(const Values &...values)
{
    QString text;
    QTextStream stream(&text);
    ((stream << values << ' '), ...);
    text.chop(1);
    return text;
}

QString describe(QFormatChunk &r)
{
    return joined(r.GetTitle().c_str(), r.getFormat().c_str(), uint(r.GetID()), r.getSupportQuality(),
                  r.getSupportExif(), r.getSupportAnimation(), r.getAnimationSuffix().c_str(),
                  r.getAnimationFormat().c_str(), r.getAnimationCodecId(), r.getFrameFormat());
}

// All fourteen fields of the output record.
QString describe(const PhotoConverterInfo &i)
{
    return joined(i.format, i.extension, i.codecId, i.width, i.height, i.quality, i.allOutput, i.keepExif,
                  i.keepAspectRatio, i.supportAnimation, i.animationSuffix, i.animationFormat,
                  i.animationCodecId, i.frameFormat);
}

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
        connect(popup, &QFormatDlg::sendSuffixChange, this, [this](QString title) { m_signals << title; });
        popup->show();
        (void)QTest::qWaitForWindowExposed(popup);
        return popup;
    }

    static void clickItem(QFormatDlg *popup, int row, QTest::MouseAction action = QTest::MouseClick)
    {
        const QRect item = popup->m_listView->visualRect(popup->m_listView->model()->index(row, 0));
        QTest::mouseEvent(action, popup->m_listView->viewport(), Qt::LeftButton, {}, item.center());
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
        QCOMPARE(describe(fresh), QString("  0 0 0 0   0 -1"));
        QAbstractItemModel *model = QFormatDlg::getFormatWidget(nullptr)->m_listView->model();
        QAbstractItemModelTester tester(model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QCOMPARE(model->columnCount(), 1);
        QStringList records;
        for (int row = 0; row < model->rowCount(); ++row) {
            const QModelIndex index = model->index(row, 0);
            records << describe(*static_cast<QFormatChunk *>(index.internalPointer()));
            const QString icon = QIAnyUtil::getResourcePath() + "/image/Format/" + index.data(0).toString();
            QCOMPARE(index.data(1).toString(), icon + ".png");
            QVERIFY(!index.data(10).isValid() && index.data(256).toString().isEmpty());
            QCOMPARE(index.data(13).toSize(), QSize(160, 110));
            QCOMPARE(index.data(Qt::BackgroundRole).value<QBrush>().color(), Plain);
        }
        QCOMPARE(records, kTable);
        QVERIFY(!model->data(QModelIndex(), 0).isValid());
    }

    void delegateDrawsOneFrame_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<bool>("selected");
        QTest::newRow("selected") << 90 << true;
        QTest::newRow("unselected") << 90 << false;
        QTest::newRow("missing icon") << 0 << false;
        QTest::newRow("301 high") << 301 << false;
    }

    void delegateDrawsOneFrame()
    {
        QFETCH(int, height);
        QFETCH(bool, selected);
        QFormatChunk record;
        record.setImage(m_dir.filePath("missing.png").toStdString());
        if (height > 0) { // three stacked bands, the last one taking the odd rows
            QImage strip = SkinFixtures::solid(QSize(40, height), QColor(0, 0, 220));
            QPainter(&strip).fillRect(0, 0, 40, height / 3, Top);
            QPainter(&strip).fillRect(0, height / 3, 40, height / 3, Middle);
            record.setImage(SkinFixtures::save(m_dir, "strip.png", strip).toStdString());
        }
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
        QImage canvas = SkinFixtures::solid(QSize(220, 140), Qt::transparent);
        QPainter painter(&canvas);
        delegate.paint(&painter, option, model.index(0, 0));
        painter.end();

        const QRect R = option.rect;
        const QColor background = selected ? Yellow : Plain,
                     icon = height ? (selected ? Top : Middle) : background;
        const QPoint at(R.x() + (R.width() - 40) / 2 + 18, R.y() + 55);
        const QSize shown(20, height / 6); // the logical size of one frame
        const QList<QPair<QPoint, QColor>> samples{
            {at + QPoint(1, 1), icon},        {at + QPoint(18, shown.height() - 1), icon},
            {at + QPoint(21, 2), background}, {at + QPoint(2, shown.height() + 1), background},
            {at - QPoint(1, 1), background},  {QPoint(R.x() + 1, R.y() + 50), background}};
        for (const auto &[p, colour] : samples)
            QVERIFY2(near(canvas.pixelColor(p), colour), qPrintable(QString("%1,%2").arg(p.x()).arg(p.y())));
        for (const QPoint &p : {QPoint(R.x(), R.y() + 50), QPoint(R.x() + 80, R.y()),
                                QPoint(R.right(), R.y() + 50), QPoint(R.x() + 80, R.bottom())})
            QVERIFY(near(canvas.pixelColor(p), selected ? Yellow : QColor(213, 214, 215)));
    }

    void constructionLayoutAndPainting()
    {
        QFormatDlg *p = shownPopup();
        QCOMPARE(p->size(), QSize(516, 434));
        QCOMPARE(p->windowTitle() + p->m_editW->placeholderText(), QString("Format SettingAuto"));
        QVERIFY(p->m_chkAllOutput->isHidden() && p->m_chkKeepExif->isHidden() &&
                !p->findChild<QWidget *>("m_btnTitleMax")->isEnabled());
        QCOMPARE(p->m_listView->geometry(), QRect(8, 45, 500, 230));
        QCOMPARE(p->m_btnOk->geometry(), QRect(408, 389, 80, 24));
        QCOMPARE(p->m_btnCancel->geometry(), QRect(312, 389, 80, 24));
        QCOMPARE(p->m_labResolution->geometry().bottomRight(),
                 p->m_labQuality->geometry().topRight() - QPoint(0, 20));
        QCOMPARE(p->m_labResolution->geometry().topRight(), QPoint(97, 294));
        const QRect all = p->m_chkAllOutput->geometry(), keep = p->m_chkKeepAspectRatio->geometry();
        QCOMPARE(all.topLeft(), QPoint(p->m_editH->geometry().right() + 70, 274 + 15));
        QCOMPARE(keep.topLeft(), QPoint(all.x(), all.bottom() + 7));

        // A stroked path: its right and bottom lines lie at x + width and y + height.
        const QImage shot = p->grab().toImage();
        const QRect box(keep.x() - 30, keep.y() - 20, keep.width() + 100, keep.height() + 40);
        const QPoint mid = box.center();
        for (const QPoint &at : {QPoint(mid.x(), box.y()), QPoint(mid.x(), box.y() + box.height()),
                                 QPoint(box.x(), mid.y()), QPoint(box.x() + box.width(), mid.y())})
            QVERIFY(near(shot.pixelColor(at), QColor(212, 212, 212), 0));
    }

    void applyThroughTheControls_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("size");    // typed into the width and height edits
        QTest::addColumn<double>("fraction"); // of the slider track; quality formats only
        QTest::newRow("JPG") << 0 << "640x480" << 0.0;
        QTest::newRow("PNG") << 1 << "x" << -1.0;
        QTest::newRow("BMP") << 2 << "320x" << -1.0;
        QTest::newRow("GIF, double click") << 3 << "x200" << -1.0;
        QTest::newRow("WEBP, six digits") << 4 << "102400x768000" << 0.3;
        QTest::newRow("TIFF") << 5 << "x" << -1.0;
    }

    void applyThroughTheControls()
    {
        QFETCH(int, row);
        QFETCH(QString, size);
        QFETCH(double, fraction);
        const QString width = size.section('x', 0, 0), height = size.section('x', 1);
        const QStringList expected = kTable[row].split(' ');
        const bool quality = expected[3] == "1", exif = expected[4] == "1";
        QFormatDlg *popup = shownPopup();
        clickItem(popup, row);
        QVERIFY(popup->m_editW->text().isEmpty() && popup->m_chkKeepAspectRatio->isChecked());
        QCOMPARE(popup->m_spinboxQuality->value(), 100);
        QCOMPARE(QList<bool>({popup->m_chkKeepExif->isChecked(), popup->m_chkKeepExif->isEnabled(),
                              popup->m_sliderQuality->isEnabled(), popup->m_spinboxQuality->isEnabled()}),
                 QList<bool>({exif, exif, quality, quality}));
        QTest::keyClicks(popup->m_editW, width);
        QTest::keyClicks(popup->m_editH, height);
        int percent = 100;
        if (fraction >= 0) {
            QZVBaseSlider *slider = popup->m_sliderQuality;
            const int x = slider->getTLOffset() + int(fraction * slider->getValidLenght());
            QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(x, 10));
            percent = qBound(1, int((x - slider->getTLOffset()) / slider->getValidLenght() * 100), 100);
            QCOMPARE(popup->m_spinboxQuality->value(), percent);
            QCOMPARE(slider->value(), double(percent));
        }
        // Return leaves the popup open whatever has the focus, but a button, which Return presses.
        QWidget *focused = QList<QWidget *>({popup->m_listView, popup->m_editH, popup->m_chkKeepAspectRatio})[row % 3];
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter})
            QTest::keyClick(focused, key);
        QVERIFY(popup->isVisible() && m_signals.isEmpty() && file("PhotoConverterSetting.xml").isEmpty());
        QCOMPARE(QVideoSettingXml::GetItemValue("FormatSet", "Format_ID", ""), QString("JPG"));
        if (row == 3)
            clickItem(popup, row, QTest::MouseDClick);
        else
            QTest::mouseClick(popup->m_btnOk, Qt::LeftButton);

        QVERIFY(popup->isHidden());
        QCOMPARE(m_signals, QStringList({"change", expected[0]}));
        QCOMPARE(describe(m_info),
                 joined(expected[1], expected[0].toLower(), expected[2], width.left(5).toInt(),
                        height.left(5).toInt(), percent, 0, expected[4], 1, expected.mid(5).join(' ')));
        QCOMPARE(QVideoSettingXml::GetItemValue("FormatSet", "Format_ID", ""), expected[0]);
        PhotoConverterInfo stored;
        QVERIFY(QVideoSettingXml::GetDefaultPtConvertInfo(expected[0], &stored));
        QCOMPARE(QList<int>({stored.width, stored.height, stored.quality}),
                 QList<int>({m_info.width, m_info.height, percent}));
    }

    // The quality slider was out of Tab's reach, and its arrow keys moved only the thumb.
    void tabReachesEveryControlAndTheQualityFollowsTheArrowKeys()
    {
        QFormatDlg *popup = shownPopup();
        QApplication::setActiveWindow(popup);
        QVERIFY(QTest::qWaitForWindowActive(popup));
        QVERIFY(popup->m_sliderQuality->isVisible());
        const QStringList unreached = TabChain::unreached(*popup);
        QVERIFY2(unreached.isEmpty(), qPrintable(unreached.join(", ")));
        popup->m_sliderQuality->setFocus(Qt::TabFocusReason);
        const int quality = popup->m_spinboxQuality->value();
        QTest::keyClick(popup->m_sliderQuality, quality < 100 ? Qt::Key_Right : Qt::Key_Left);
        QCOMPARE(popup->m_spinboxQuality->value(), quality < 100 ? quality + 1 : quality - 1);
    }

    void closingWithoutOkAppliesNothing_data()
    {
        QTest::addColumn<QString>("button"); // none: the window manager closes the popup
        QTest::newRow("Cancel") << "m_btnCancel";
        QTest::newRow("title close") << "m_btnTitleClose";
        QTest::newRow("window close") << "";
        QTest::newRow("Escape in the width field") << "m_editW";
    }

    void closingWithoutOkAppliesNothing()
    {
        QFETCH(QString, button);
        QFormatDlg *popup = shownPopup();
        clickItem(popup, 4);
        QTest::keyClicks(popup->m_editW, "321");
        QTest::mouseClick(popup->m_sliderQuality, Qt::LeftButton, {}, QPoint(30, 10));
        const QByteArray settings = file("VideoDefaultSetting.xml");
        if (button.isEmpty())
            popup->close();
        else if (button == "m_editW")
            QTest::keyClick(popup->m_editW, Qt::Key_Escape);
        else
            QTest::mouseClick(popup->findChild<QWidget *>(button), Qt::LeftButton);
        QVERIFY(popup->isHidden() && m_signals.isEmpty() && file("PhotoConverterSetting.xml").isEmpty());
        QCOMPARE(describe(m_info), describe(PhotoConverterInfo()));
        QCOMPARE(file("VideoDefaultSetting.xml"), settings);
    }
};

GLINTORA_TEST_MAIN(TestFormatPopup)
#include "tst_formatpopup.moc"
