#include "qzvbasebutton.h"
#include "qzvfocusmark.h"
#include "skinfixtures.h"
#include "testhome.h"

#include <QSignalSpy>

using namespace SkinFixtures;

namespace {

// A plain window, not a dialog, with two skinned buttons side by side on a white panel.
struct TwoButtons
{
    QTemporaryDir skin;
    QWidget window;
    QZVBaseButton *first = new QZVBaseButton(&window);
    QZVBaseButton *second = new QZVBaseButton(&window);

    TwoButtons()
    {
        const QString strip = save(skin, QStringLiteral("button.png"),
                                   solidStrip({Qt::lightGray, Qt::gray, Qt::darkGray, Qt::white}, QSize(160, 48)));
        for (QZVBaseButton *button : {first, second})
            button->setButtonImage(strip, true);
        window.setPalette(QPalette(Qt::white));
        window.setAutoFillBackground(true);
        window.resize(220, 80);
        first->setGeometry(20, 30, 80, 24);
        second->setGeometry(120, 30, 80, 24);
        window.show();
        QApplication::setActiveWindow(&window);
    }
};

}

class TestFocusMark : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        initToolkitTestEnvironment();
        QZVFocusMark::install();
    }

    void tabMarksTheControlItReaches()
    {
        TwoButtons form;
        QVERIFY(QTest::qWaitForWindowActive(&form.window));
        form.first->setFocus(Qt::MouseFocusReason);
        const QImage unmarked = form.window.grab().toImage();
        QTest::keyClick(&form.window, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), form.second);
        QCOMPARE(QZVFocusMark::markedWidget(), form.second);
        const QImage marked = form.window.grab().toImage();
        const QRect control = form.second->geometry();
        // Two pixels out from each edge the ring shows; the control itself stays as it was.
        for (const QPoint &outside : {QPoint(control.left() - 2, control.center().y()),
                                      QPoint(control.right() + 2, control.center().y()),
                                      QPoint(control.center().x(), control.top() - 2),
                                      QPoint(control.center().x(), control.bottom() + 2)})
            QVERIFY2(marked.pixel(outside) != unmarked.pixel(outside), qPrintable(QString::number(outside.x())));
        QCOMPARE(marked.copy(control), unmarked.copy(control));

        QTest::mouseClick(form.first, Qt::LeftButton);
        QCOMPARE(QApplication::focusWidget(), form.first);
        QCOMPARE(QZVFocusMark::markedWidget(), nullptr);
        // Focus that moves on without a keyboard reason the ring would keep leaves none behind.
        QTest::keyClick(&form.window, Qt::Key_Tab);
        QCOMPARE(QZVFocusMark::markedWidget(), form.second);
        form.first->setFocus(Qt::PopupFocusReason);
        QCOMPARE(QZVFocusMark::markedWidget(), nullptr);
    }

    void keysPressTheFocusedButton_data()
    {
        QTest::addColumn<int>("key");
        QTest::newRow("Space") << int(Qt::Key_Space);
        QTest::newRow("Return") << int(Qt::Key_Return);
        QTest::newRow("Enter") << int(Qt::Key_Enter);
    }

    void keysPressTheFocusedButton()
    {
        QFETCH(int, key);
        TwoButtons form;
        QVERIFY(QTest::qWaitForWindowActive(&form.window));
        form.second->setFocus(Qt::TabFocusReason);
        QSignalSpy clicked(form.second, &QAbstractButton::clicked);
        QTest::keyClick(form.second, Qt::Key(key));
        QCOMPARE(clicked.count(), 1);
    }
};

GLINTORA_TEST_MAIN(TestFocusMark)
#include "tst_focusmark.moc"
