#include "qzvmessagedlg.h"

#include "qbaseimagedraw.h"
#include "qianyutil.h"
#include "qzvopaqueframe.h"
#include "qinitctrlstyle.h"
#include "qzvscrollbar.h"

#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QVector>
#include <QWindow>

namespace {

const QColor kTextColor(53, 53, 53);
const QColor kDisabledTextColor(167, 167, 167);

// Widest message before the box grows, and its cap, without and with the kind icon.
const int kPlainMargin = 80;
const int kPlainCap = 520;
const int kIconMargin = 122;
const int kIconCap = 478;
// Taller messages (a long list of names) scroll, so the box always fits a screen.
const int kTallestMessage = 360;
// Text that does not fit centred in the base box starts under the title band; under the
// text stays a gap of 15 and the button row, 25 high and 23 above the box's bottom.
const int kTopMargin = 27;
const int kRoomUnderText = 15 + 25 + 23;

QRect primaryScreen()
{
    const QScreen *screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 800, 600);
}

// The box's width rule for a message with line feeds: the bounding width of the first
// k + L + 4 characters, k the number of line feeds and L the longest line, where each
// line after the first counts its leading line feed.
int measuredWidth(const QFontMetrics &metrics, const QString &message)
{
    QVector<int> feeds;
    for (int i = 0; i < message.size(); ++i) {
        if (message.at(i) == QLatin1Char('\n'))
            feeds.append(i);
    }
    // The ink can be narrower than the advance that word wrapping measures: a line set
    // to its ink width alone wraps its last word.
    if (feeds.isEmpty())
        return qMax(metrics.boundingRect(message).width(), metrics.horizontalAdvance(message));
    int longest = feeds.first();
    for (int i = 1; i < feeds.size(); ++i)
        longest = qMax(longest, feeds.at(i) - feeds.at(i - 1));
    longest = qMax(longest, message.size() - feeds.last());
    return metrics.boundingRect(message.left(feeds.size() + longest + 4)).width();
}

// Word wrapping breaks only between words: a word wider than the text, such as a long
// file name, gets a break chance between any two of its characters.
QString breakableWords(const QFontMetrics &metrics, const QString &message, int width)
{
    static const QRegularExpression word(QStringLiteral("\\S+"));
    QString shown;
    int end = 0;
    for (auto words = word.globalMatch(message); words.hasNext();) {
        const QRegularExpressionMatch match = words.next();
        shown += message.mid(end, match.capturedStart() - end);
        end = match.capturedEnd();
        const QString text = match.captured();
        if (metrics.horizontalAdvance(text) <= width) {
            shown += text;
            continue;
        }
        for (int i = 0; i < text.size(); ++i) {
            if (i > 0 && !text.at(i).isLowSurrogate())
                shown += QChar(0x200B);
            shown += text.at(i);
        }
    }
    return shown + message.mid(end);
}

} // namespace

QZVMessageDlg::QZVMessageDlg(QWidget *parent)
    : QDialog(parent)
    , m_strTitle(QStringLiteral("Calvetrin Glintora"))
    , m_rectBase(QPoint(0, 0), QPoint(260, 160))
{
    setupUi(this);
    setWindowTitle(m_strTitle);
    setWindowFlags(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground, true);
    m_strResourcePath = QIAnyUtil::getResourcePath();
    m_imgBackground = QImage(resource(QStringLiteral("/pic/bg_msg.png")));
    m_imgBackground.setDevicePixelRatio(2.0);
    m_opaqueFrame = new QZVOpaqueFrame(this, [this](QPainter &painter, const QSize &size) {
        paintBackground(painter, QRect(QPoint(0, 0), size));
    });
    centreBaseWindow();
    connect(m_btnOk, &QAbstractButton::clicked, this, &QZVMessageDlg::OnBtnOk);
    connect(m_btnCancel, &QAbstractButton::clicked, this, &QZVMessageDlg::OnBtnCancel);
    connect(m_btnClose, &QAbstractButton::clicked, this, &QZVMessageDlg::OnBtnCancel);
}

QZVMessageDlg::~QZVMessageDlg()
{
    delete m_opaqueFrame;
}

void QZVMessageDlg::paintBackground(QPainter &painter, const QRect &area)
{
    if (!m_imgBackground.isNull())
        QBaseImageDraw::drawBtnImageBg(painter, area, m_imgBackground, true);
}

QString QZVMessageDlg::resource(const QString &name) const
{
    return QStringLiteral("%1%2").arg(m_strResourcePath, name).replace(QLatin1Char('\\'), QLatin1Char('/'));
}

// The task switcher shows the same title as the box's own band.
void QZVMessageDlg::setTitle(const QString &title)
{
    m_strTitle = title;
    setWindowTitle(title);
}

QString QZVMessageDlg::title() const
{
    return m_strTitle;
}

void QZVMessageDlg::setMessage(const QString &message)
{
    m_strMessage = message;
}

QString QZVMessageDlg::message() const
{
    return m_strMessage;
}

void QZVMessageDlg::setStyle(MessageStyle style)
{
    m_style = style;
}

MessageStyle QZVMessageDlg::style() const
{
    return m_style;
}

QRect QZVMessageDlg::messageRect() const
{
    return m_rectMessage;
}

QRect QZVMessageDlg::titleRect() const
{
    return m_rectTitle;
}

void QZVMessageDlg::OnBtnOk()
{
    if (m_style & RestartButtons)
        return;
    done(m_style & YesNoButtons ? QMessageBox::Yes : QMessageBox::Ok);
}

void QZVMessageDlg::OnBtnCancel()
{
    done(m_style & YesNoButtons ? QMessageBox::No : QMessageBox::Cancel);
}

void QZVMessageDlg::centreBaseWindow()
{
    const QRect screen = primaryScreen();
    const int left = screen.x() + (screen.width() - m_rectBase.width()) / 2;
    const int top = screen.y() + (screen.height() - m_rectBase.height()) / 2;
    m_rectWindow = QRect(QPoint(left, top), QPoint(left + m_rectBase.width(), top + m_rectBase.height()));
}

void QZVMessageDlg::layoutMessage()
{
    // Every show starts from the base box, so a second show lays out the same way.
    centreBaseWindow();
    const QRect screen = primaryScreen();
    const QFontMetrics metrics(m_fontMessage);
    const int baseWidth = m_rectBase.width();
    const int baseHeight = m_rectBase.height();
    const bool withIcon = m_style & IconBit;
    const int margin = withIcon ? kIconMargin : kPlainMargin;

    int width = measuredWidth(metrics, m_strMessage);
    int left = 0;
    if (width > baseWidth - margin) {
        width = qMin(width, withIcon ? kIconCap : kPlainCap);
        left = withIcon ? 92 : 40;
        m_rectWindow.setRight(m_rectWindow.left() + width + margin);
        m_rectWindow.moveLeft(screen.x() + (screen.width() - (m_rectWindow.width() - 1)) / 2);
    } else {
        left = (baseWidth - width) / 2 + (withIcon ? 8 : 0);
    }
    m_rectMessage.setLeft(left);
    m_rectMessage.setRight(left + width);

    m_strShown = breakableWords(metrics, m_strMessage, width);
    const int fullHeight = metrics.boundingRect(QRect(0, 0, width + 1, 0), Qt::TextWordWrap, m_strShown).height();
    const int height = qMin(fullHeight, kTallestMessage);
    int top = (baseHeight - height) / 2 - 5;
    if (top + height + kRoomUnderText > baseHeight) {
        top = kTopMargin;
        m_rectWindow.setBottom(m_rectWindow.top() + qMax(top + height + kRoomUnderText, baseHeight));
        m_rectWindow.moveTop(screen.y() + (screen.height() - (m_rectWindow.height() - 1)) / 2);
    }
    m_rectMessage.setTop(top);
    m_rectMessage.setBottom(top + height);
    showScrollingMessage(fullHeight > height);
}

void QZVMessageDlg::showScrollingMessage(bool scrolls)
{
    if (!scrolls) {
        delete m_scrollMessage;
        m_scrollMessage = nullptr;
        return;
    }
    if (!m_scrollMessage) {
        m_scrollMessage = new QScrollArea(this);
        m_scrollMessage->setFrameShape(QFrame::NoFrame);
        m_scrollMessage->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        m_scrollMessage->setStyleSheet(QStringLiteral("background: transparent;"));
        auto *bar = new QZVScrollBar(m_scrollMessage);
        QInitCtrlStyle::InitZvScrollBar(bar);
        m_scrollMessage->setVerticalScrollBar(bar);
        auto *label = new QLabel;
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        m_scrollMessage->setWidget(label);
    }
    auto *label = static_cast<QLabel *>(m_scrollMessage->widget());
    label->setFont(m_fontMessage);
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, kTextColor);
    label->setPalette(palette);
    label->setText(m_strShown);
    const int barWidth = m_scrollMessage->verticalScrollBar()->sizeHint().width();
    // The text keeps its width; the scroll bar stands in the right margin.
    label->setFixedWidth(m_rectMessage.width());
    label->adjustSize();
    m_scrollMessage->setGeometry(m_rectMessage.adjusted(0, 0, barWidth + 4, 0));
    m_scrollMessage->show();
}

void QZVMessageDlg::initButtons()
{
    if (!m_btnClose->setButtonImage(resource(QStringLiteral("/pic/btn_close.png")), true))
        QMessageBox::information(this, m_strTitle, QStringLiteral("QZVMessageDlg::InitButton fail"));
    m_btnClose->move(13, 13);
    m_btnClose->setFocusPolicy(Qt::NoFocus);

    QString failure;
    if (m_style & RestartButtons) {
        m_btnOk->setText(QStringLiteral("Restart"));
        m_btnCancel->setText(QStringLiteral("Restart Later"));
        failure = QStringLiteral("QZVMessageDlg::InitButton Load Restart Image fail");
    } else if (m_style & YesNoButtons) {
        m_btnOk->setText(tr("YES"));
        m_btnCancel->setText(tr("NO"));
        failure = QStringLiteral("QZVMessageDlg::InitButton Load Yes Image fail");
    } else {
        m_btnOk->setText(tr("OK"));
        m_btnCancel->setText(tr("Cancel"));
        failure = QStringLiteral("QZVMessageDlg::InitButton Load Cancel Image fail");
    }
    const QString strip = resource(QStringLiteral("/pic/btn_common.png"));
    if (!m_btnOk->setButtonImage(strip, true) || !m_btnCancel->setButtonImage(strip, true))
        QMessageBox::information(this, m_strTitle, failure);

    QFont font = m_btnOk->font();
    font.setFamily(QStringLiteral("Tahoma"));
    font.setPixelSize(12);
    for (QZVBaseButton *button : {m_btnOk, m_btnCancel}) {
        button->setFont(font);
        button->resize(80, 25);
        button->setTextColor(kTextColor, kTextColor, kTextColor, kDisabledTextColor);
    }
}

void QZVMessageDlg::chooseIcon()
{
    m_pixStyle = QPixmap();
    if (!(m_style & IconBit))
        return;
    QString name;
    if ((m_style & ErrorIcon) == ErrorIcon)
        name = QStringLiteral("/pic/error.png");
    else if ((m_style & SuccessIcon) == SuccessIcon)
        name = QStringLiteral("/pic/Success.png");
    else if ((m_style & WarningIcon) == WarningIcon)
        name = QStringLiteral("/pic/warning.png");
    if (name.isEmpty())
        return;
    m_pixStyle = QPixmap(resource(name));
    m_pixStyle.setDevicePixelRatio(2.0);
}

void QZVMessageDlg::placeButtons()
{
    const int y = height() - m_btnOk->height() - 23;
    const bool twoButtons = m_style & ButtonBits;
    m_btnCancel->setVisible(twoButtons);
    if (twoButtons) {
        m_btnCancel->move(width() - m_btnCancel->width() - 28, y);
        m_btnOk->move(width() - m_btnCancel->width() - m_btnOk->width() - 38, y);
    } else {
        m_btnOk->move(width() - m_btnOk->width() - 33, y);
    }
}

// Lays the box out on every show; QDialog's own placement is not wanted.
void QZVMessageDlg::showEvent(QShowEvent *)
{
    m_fontTitle = QFont(QStringLiteral("Tahoma"));
    m_fontTitle.setPixelSize(11);
    m_fontMessage = QFont(QStringLiteral("Tahoma"));
    m_fontMessage.setPixelSize(12);
    layoutMessage();
    initButtons();
    chooseIcon();
    setGeometry(m_rectWindow);
    m_rectTitle = QRect(QPoint(33, 7), QPoint(width() - 34, 28));
    placeButtons();
}

void QZVMessageDlg::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    m_opaqueFrame->paintUnderlay(painter);
    paintBackground(painter, rect());
    painter.setPen(QPen(kTextColor, 1));
    painter.setFont(m_fontTitle);
    painter.drawText(m_rectTitle, Qt::AlignHCenter | Qt::AlignVCenter, m_strTitle);
    if (!m_scrollMessage) {
        painter.save();
        painter.setFont(m_fontMessage);
        painter.drawText(m_rectMessage, Qt::TextWordWrap, m_strShown);
        painter.restore();
    }
    if ((m_style & IconBit) && !m_pixStyle.isNull()) {
        const int x = m_rectMessage.left() - m_pixStyle.width() / 2 - 10;
        const int y = m_rectMessage.top()
            + ((m_rectMessage.bottom() - m_rectMessage.top() + 1) - m_pixStyle.height() / 2) / 2 + 4;
        painter.drawPixmap(x, y, m_pixStyle);
    }
}

// Where the compositor ignores move() (Wayland), the window system moves the box.
bool QZVMessageDlg::startSystemMove()
{
    if (!QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
        return false;
    QWindow *window = windowHandle();
    return window && window->startSystemMove();
}

void QZVMessageDlg::mousePressEvent(QMouseEvent *event)
{
    m_ptPressOffset = event->globalPos() - pos();
    if (event->button() == Qt::LeftButton)
        m_bDragging = !(m_ptPressOffset.y() < 30 && startSystemMove());
    QDialog::mousePressEvent(event);
}

void QZVMessageDlg::mouseMoveEvent(QMouseEvent *event)
{
    if (m_bDragging && m_ptPressOffset.y() < 30)
        move(event->globalPos() - m_ptPressOffset);
    QDialog::mouseMoveEvent(event);
}

void QZVMessageDlg::mouseReleaseEvent(QMouseEvent *event)
{
    m_bDragging = false;
    QDialog::mouseReleaseEvent(event);
}
