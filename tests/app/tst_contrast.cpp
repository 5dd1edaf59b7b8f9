#include "askmessagedlg.h"
#include "historyrecord.h"
#include "mainwindow.h"
#include "qconverteddlg.h"
#include "qformatdlg.h"
#include "qimageviewerbtn.h"
#include "qimageviewerdlg.h"
#include "qpreferencesdlg.h"
#include "qzvbasebutton.h"
#include "qzvlineedit.h"
#include "skinfixtures.h"
#include "testhome.h"
#include "videoconvertbar.h"

#include <QDir>
#include <QHash>
#include <QTableView>
#include <QtMath>

#include <functional>
#include <memory>

namespace {

enum State { Normal, Hover, Pressed, Disabled, Typed };

// Relative luminance and contrast ratio as the accessibility guidelines define them.
double luminance(const QColor &color)
{
    const auto channel = [](int value) {
        const double c = value / 255.0;
        return c <= 0.03928 ? c / 12.92 : qPow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(color.red()) + 0.7152 * channel(color.green()) + 0.0722 * channel(color.blue());
}

double contrast(const QColor &a, const QColor &b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (qMax(la, lb) + 0.05) / (qMin(la, lb) + 0.05);
}

// What an eye finds in a control: the colour most of it shows, and how far its strongest
// mark stands out from that colour.
struct Reading
{
    QColor background;
    double ink = 1.0;
};

Reading read(const QImage &image)
{
    QHash<QRgb, int> counts;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ++counts[image.pixel(x, y) | 0xff000000u];
    Reading reading;
    int most = 0;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        if (it.value() > most) {
            most = it.value();
            reading.background = QColor(it.key());
        }
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        reading.ink = qMax(reading.ink, contrast(QColor(it.key()), reading.background));
    return reading;
}

// One control in the window it lives in, and the part of it that holds its glyph or text.
struct Scene
{
    std::unique_ptr<QWidget> window;
    QWidget *control = nullptr;
    QRect probe;
    std::function<void(State)> enter;

    Reading look()
    {
        QCoreApplication::processEvents();
        const QRect area(control->mapTo(window.get(), probe.topLeft()), probe.size());
        return read(window->grab(area).toImage());
    }
};

void send(QWidget *widget, QEvent::Type type)
{
    QEvent event(type);
    QCoreApplication::sendEvent(widget, &event);
}

// Hover, press and disable as the mouse and the program do it to a skinned button.
void enterButtonState(QWidget *button, State state)
{
    if (state == Hover)
        send(button, QEvent::Enter);
    else if (state == Pressed)
        QTest::mousePress(button, Qt::LeftButton, Qt::NoModifier, button->rect().center());
    else if (state == Disabled)
        button->setEnabled(false);
}

template <class Window> Scene shown(std::unique_ptr<Window> window)
{
    window->show();
    (void)QTest::qWaitForWindowExposed(window.get());
    Scene scene;
    scene.window = std::move(window);
    return scene;
}

Scene buttonScene(Scene scene, QWidget *button, int inset)
{
    scene.control = button;
    scene.probe = button->rect().adjusted(inset, inset, -inset, -inset);
    scene.enter = [button](State state) { enterButtonState(button, state); };
    return scene;
}

Scene viewerBar()
{
    auto dialog = std::make_unique<QImageViewerDlg>();
    QWidget *button = dialog->buttonBar()->m_btnBlowup;
    return buttonScene(shown(std::move(dialog)), button, 0);
}

// A row under the mouse, which is when its glyphs show.
Scene rowGlyph(const char *toolTip, bool selected)
{
    auto host = std::make_unique<QWidget>();
    host->resize(522, 72);
    auto *row = new VideoConvertBar(host.get());
    row->setGeometry(0, 0, 522, 72);
    Scene scene = shown(std::move(host));
    if (selected)
        row->setMouseState(ConvertMouseSelected);
    send(row, QEvent::Enter);
    for (QZVBaseButton *button : row->findChildren<QZVBaseButton *>())
        if (button->toolTip() == QLatin1String(toolTip))
            return buttonScene(std::move(scene), button, 0);
    return scene;
}

// The text beside the magnifier, as placeholder and as typed.
Scene historySearch()
{
    auto dialog = std::make_unique<QConvertedDlg>();
    QZVLineEdit *field = dialog->m_editSearch;
    Scene scene = shown(std::move(dialog));
    scene.control = field;
    scene.probe = field->rect().adjusted(24, 5, -12, -5);
    scene.enter = [field](State state) {
        if (state != Typed)
            return;
        QFocusEvent focus(QEvent::FocusIn, Qt::MouseFocusReason);
        QCoreApplication::sendEvent(field, &focus);
        QTest::keyClicks(field, QStringLiteral("IMG_0001"));
    };
    return scene;
}

// The name of the first entry, which the history selects as it opens.
Scene selectedHistoryRow()
{
    const QString output = QDir::homePath() + QStringLiteral("/IMG_0001.png");
    if (!QFileInfo::exists(output))
        HistoryRecord::save(output);
    auto dialog = std::make_unique<QConvertedDlg>();
    QTableView *table = dialog->m_tableView;
    Scene scene = shown(std::move(dialog));
    scene.control = table->viewport();
    scene.probe = table->visualRect(table->model()->index(0, 0)).adjusted(2, 2, -2, -2);
    scene.enter = [](State) {};
    return scene;
}

// "Auto" in the empty width field.
Scene resolutionPlaceholder()
{
    QFormatDlg *popup = QFormatDlg::getFormatWidget(nullptr);
    popup->show();
    (void)QTest::qWaitForWindowExposed(popup);
    popup->m_editW->clear();
    Scene scene;
    scene.window.reset(popup);
    scene.control = popup->m_editW;
    scene.probe = popup->m_editW->rect().adjusted(3, 3, -3, -3);
    scene.enter = [](State) {};
    return scene;
}

// The second tile: the first one is the current format and drawn selected.
Scene formatTile()
{
    QFormatDlg *popup = QFormatDlg::getFormatWidget(nullptr);
    popup->show();
    (void)QTest::qWaitForWindowExposed(popup);
    QListView *list = popup->m_listView;
    const QModelIndex tile = list->model()->index(1, 0);
    Scene scene;
    scene.window.reset(popup);
    scene.control = list->viewport();
    scene.probe = list->visualRect(tile).adjusted(2, 2, -2, -2);
    scene.enter = [list, tile](State state) {
        if (state == Hover)
            SkinFixtures::sendMouse(*list->viewport(), QEvent::MouseMove, list->visualRect(tile).center(),
                                    Qt::NoButton, Qt::NoButton);
        else if (state == Pressed)
            list->setCurrentIndex(tile);
    };
    return scene;
}

Scene mainWindowControl(const char *name, int inset)
{
    auto window = std::make_unique<MainWindow>();
    QWidget *button = window->findChild<QWidget *>(QLatin1String(name));
    return buttonScene(shown(std::move(window)), button, inset);
}

Scene preferencesButton(const char *name)
{
    auto dialog = std::make_unique<QPreferencesDlg>();
    QWidget *button = dialog->findChild<QZVBaseButton *>(QLatin1String(name));
    return buttonScene(shown(std::move(dialog)), button, 2);
}

Scene deletePromptButton(const char *name)
{
    auto dialog = std::make_unique<AskMessageDlg>();
    QWidget *button = dialog->findChild<QZVBaseButton *>(QLatin1String(name));
    return buttonScene(shown(std::move(dialog)), button, 2);
}

const QHash<QString, std::function<Scene()>> &scenes()
{
    static const QHash<QString, std::function<Scene()>> all{
        {"viewer zoom", viewerBar},
        {"row play", [] { return rowGlyph("Play", false); }},
        {"row edit", [] { return rowGlyph("Edit", false); }},
        {"row rename", [] { return rowGlyph("Rename", false); }},
        {"selected row play", [] { return rowGlyph("Play", true); }},
        {"history search", historySearch},
        {"format tile", formatTile},
        {"selected history row", selectedHistoryRow},
        {"resolution placeholder", resolutionPlaceholder},
        {"add file", [] { return mainWindowControl("m_btnAddFile", 2); }},
        {"converted", [] { return mainWindowControl("m_btnConverted", 0); }},
        {"empty list hint", [] { return mainWindowControl("m_labDrag", 0); }},
        {"preferences ok", [] { return preferencesButton("m_btnOk"); }},
        {"preferences cancel", [] { return preferencesButton("m_btnCancel"); }},
        {"delete prompt cancel", [] { return deletePromptButton("m_btnCancel"); }},
        {"delete prompt move", [] { return deletePromptButton("m_btnMove"); }},
        {"delete prompt delete", [] { return deletePromptButton("m_btnDelete"); }},
    };
    return all;
}

// Icons and large text need 3:1, body text 4.5:1.
constexpr double kIconFloor = 3.0;
constexpr double kTextFloor = 4.5;
// Two backgrounds closer than this are one colour to the eye.
constexpr double kVisibleStep = 1.08;

} // namespace

// Reads the rendered pixels of the controls back and holds them to the contrast floor in
// every state; disabled must look weaker than normal.
class TestContrast : public QObject
{
    Q_OBJECT

private slots:
    void floorInEveryState_data();
    void floorInEveryState();
    void looksApart_data();
    void looksApart();
};

void TestContrast::floorInEveryState_data()
{
    QTest::addColumn<QString>("scene");
    QTest::addColumn<int>("state");
    QTest::addColumn<double>("floor");
    const auto add = [](const char *scene, std::initializer_list<State> states, double floor) {
        static const char *names[] = {"normal", "hover", "pressed", "disabled", "typed"};
        for (State state : states)
            QTest::addRow("%s, %s", scene, names[state]) << QString(scene) << int(state) << floor;
    };
    add("viewer zoom", {Normal, Hover, Pressed, Disabled}, kIconFloor);
    for (const char *row : {"row play", "row edit", "row rename"})
        add(row, {Normal, Hover, Pressed, Disabled}, kIconFloor);
    add("selected row play", {Normal, Hover}, kIconFloor);
    add("history search", {Normal, Typed}, kTextFloor);
    add("format tile", {Normal, Hover, Pressed}, kIconFloor);
    add("selected history row", {Normal}, kTextFloor);
    add("resolution placeholder", {Normal}, kTextFloor);
    add("empty list hint", {Normal}, kTextFloor);
    for (const char *button : {"add file", "converted", "preferences ok", "preferences cancel",
                               "delete prompt cancel", "delete prompt move", "delete prompt delete"})
        add(button, {Normal, Hover, Pressed, Disabled}, kTextFloor);
}

void TestContrast::floorInEveryState()
{
    QFETCH(QString, scene);
    QFETCH(int, state);
    QFETCH(double, floor);
    Scene shot = scenes().value(scene)();
    QVERIFY(shot.control);
    const Reading normal = shot.look();
    shot.enter(State(state));
    const Reading reading = shot.look();
    const QByteArray seen = QByteArray::number(reading.ink, 'f', 2) + ":1 on " + reading.background.name().toLatin1();
    if (state == Disabled) {
        QVERIFY2(reading.ink < normal.ink, seen + " is not weaker than " + QByteArray::number(normal.ink, 'f', 2));
        return;
    }
    QVERIFY2(reading.ink >= floor, seen);
    // The viewer's bar says "you are on me" by a stronger glyph, nothing else.
    if (scene == QLatin1String("viewer zoom") && state == Hover)
        QVERIFY2(reading.ink > normal.ink, seen);
}

// Looks that must tell two things apart: hover from rest, the default from the other
// choice, and the destructive choice from the harmless one.
void TestContrast::looksApart_data()
{
    QTest::addColumn<QString>("first");
    QTest::addColumn<int>("firstState");
    QTest::addColumn<QString>("second");
    QTest::addColumn<int>("secondState");
    QTest::newRow("format tile hover") << "format tile" << int(Normal) << "format tile" << int(Hover);
    QTest::newRow("converted hover") << "converted" << int(Normal) << "converted" << int(Hover);
    QTest::newRow("ok against cancel") << "preferences ok" << int(Normal) << "preferences cancel" << int(Normal);
    QTest::newRow("delete against move") << "delete prompt delete" << int(Normal) << "delete prompt move"
                                         << int(Normal);
}

void TestContrast::looksApart()
{
    QFETCH(QString, first);
    QFETCH(int, firstState);
    QFETCH(QString, second);
    QFETCH(int, secondState);
    const auto readingOf = [](const QString &name, int state) {
        Scene shot = scenes().value(name)();
        shot.enter(State(state));
        return shot.look();
    };
    const Reading a = readingOf(first, firstState);
    const Reading b = readingOf(second, secondState);
    const bool backgroundsApart = contrast(a.background, b.background) >= kVisibleStep;
    QVERIFY2(backgroundsApart, qPrintable(a.background.name() + " against " + b.background.name()));
}

GLINTORA_TEST_MAIN(TestContrast)
#include "tst_contrast.moc"
