#include "videoconvertbar.h"

#include "md5.h"
#include "mouseimagewidget.h"
#include "photoconverterinfo.h"
#include "qconverteroperate.h"
#include "qianyutil.h"
#include "qinitctrlstyle.h"
#include "qzvbasebutton.h"
#include "qzvbaseprogress.h"
#include "retractlabel.h"
#include "zvlpconverter.h"
#include "zvvideoconvertitem.h"
#include "zvvideoconvertmanager.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

// Loaded once and never released: a static QPixmap object would be destroyed after
// QApplication and crash the program at exit.
QPixmap *g_iconPixmap = nullptr;
QImage *g_btnEditTImage = nullptr;
QImage *g_btnMarkImage = nullptr;
QImage *g_btnCloseImage = nullptr;
QImage *g_btnPlayImage = nullptr;
QImage *g_btnEditImage = nullptr;
QImage *g_btnFileImage = nullptr;
QPixmap *g_backgroundStrip = nullptr;
QPixmap *g_columnIcons = nullptr;

const QColor kTextColor(68, 68, 68, 255);
// Dark enough to read on the white row, red enough to stand out from its grey text.
const QColor kFailedColor(190, 30, 30);
constexpr int kThumbSide = 71;
// Small glyphs, but targets a first click a little off still hits.
constexpr int kButtonSide = 24;
constexpr int kMinNameWidth = 80;
// From the first information column's icon to the play button, and from the name's left
// edge to that icon in a narrow row.
constexpr int kInfoColumnsWidth = 231;
constexpr int kMinNameRoom = 123;
// Between the name, or the rename button, and the first information column.
constexpr int kNameGap = 12;

QImage *loadImage(const QString &relative)
{
    return new QImage(QIAnyUtil::getResourcePath() + relative);
}

QPixmap *loadDoubleResolution(const QString &relative)
{
    auto *pixmap = new QPixmap(QIAnyUtil::getResourcePath() + relative);
    pixmap->setDevicePixelRatio(2);
    return pixmap;
}

const PhotoConverterInfo *output()
{
    return QConverterOperate::g_converterInfo;
}

QString currentFormat()
{
    return output() ? output()->format : QString();
}

bool isAnimatedFormat(const QString &format)
{
    return format == QLatin1String("gif") || format == QLatin1String("webp");
}

// The top half of a two-state image for selected rows, the bottom half otherwise.
QImage halfOf(const QImage *image, bool selected)
{
    if (!image || image->isNull())
        return QImage();
    const int half = image->height() / 2;
    return image->copy(0, selected ? 0 : half, image->width(), half);
}

void styleSmallButton(QZVBaseButton *button, const QString &toolTip)
{
    button->setFixedSize(kButtonSide, kButtonSide);
    button->hide();
    button->setToolTip(toolTip);
}

} // namespace

bool VideoConvertBar::m_bIsStopConvert = false;

VideoConvertBar::VideoConvertBar(QWidget *parent)
    : QWidget(parent)
{
    m_videoIconWidget = new MouseImageWidget(this);
    m_labVideoName = new RetractLabel(this);
    m_btnClose = new QZVBaseButton(this);
    m_btnEditName = new QZVBaseButton(this);
    m_progressBar = new QZVBaseProgress(this);
    m_converterState = new QLabel(this);
    m_btnMask = new QZVBaseButton(this);
    m_btnPlay = new QZVBaseButton(this);
    m_btnEdit = new QZVBaseButton(this);
    m_btnFile = new QZVBaseButton(this);
    setMouseTracking(true);
    InitResources();
    setMinimumHeight(72);
    setMaximumHeight(72);
    InitCtrl();
    connect(m_labVideoName, &RetractLabel::emitChangeName, this, &VideoConvertBar::ChangeName);
    connect(this, &VideoConvertBar::seedConvertPro, this, &VideoConvertBar::UpdataConverPro);
    qRegisterMetaType<QConvertMouseState>("QConvertMouseState");
    registerConvertStateMetaType();
    qRegisterMetaType<Split_Info>("Split_Info");
}

VideoConvertBar::~VideoConvertBar()
{
    // A job reports to this row from its thread: stop and join it without emitting.
    releaseConverter();
    resetIconImage();
}

void VideoConvertBar::InitResources()
{
    if (g_iconPixmap)
        return;
    g_iconPixmap = new QPixmap(QIAnyUtil::getResourcePath() + QStringLiteral("/image/videodisplay/Video_icon.png"));
    g_btnEditTImage = loadImage(QStringLiteral("/image/videodisplay/btn_t.png"));
    g_btnMarkImage = loadImage(QStringLiteral("/image/videodisplay/mask_img.png"));
    g_btnCloseImage = loadImage(QStringLiteral("/image/videodisplay/btn_delete.png"));
    g_btnPlayImage = loadImage(QStringLiteral("/image/videodisplay/btn_item_play.png"));
    g_btnEditImage = loadImage(QStringLiteral("/image/videodisplay/btn_item_edit.png"));
    g_btnFileImage = loadImage(QStringLiteral("/image/videodisplay/btn_item_find_file.png"));
}

void VideoConvertBar::InitCtrl()
{
    m_btnEditName->setFixedSize(kButtonSide, kButtonSide);
    m_btnEditName->hide();
    m_btnClose->hide();
    m_btnClose->setButtonImage(g_btnCloseImage, true, false);
    connect(m_btnClose, &QPushButton::clicked, this, &VideoConvertBar::OnBtnDelete);
    m_btnMask->setButtonImage(g_btnMarkImage, true, false);
    m_btnMask->setEnabled(false);
    m_btnMask->setBtnState(0);
    m_btnMask->setStaticState(true);
    m_btnMask->hide();
    m_btnEditName->setToolTip(tr("Rename"));
    m_btnClose->setToolTip(tr("Remove"));
    m_labVideoName->setPixelSize(13);
    m_labVideoName->setIgnoreExten(false);
    m_labVideoName->setFixedWidth(kMinNameWidth);
    styleSmallButton(m_btnEdit, tr("Edit"));
    styleSmallButton(m_btnPlay, tr("Play"));
    styleSmallButton(m_btnFile, tr("File"));
    m_progressBar->setCircle(false);
    m_progressBar->setProgressPolicy(2);
    m_progressBar->setDecimals(0);
    m_progressBar->hide();
    m_converterState->hide();
    m_converterState->setText(tr("Failed"));
    QInitCtrlStyle::InitFont(m_converterState, 11);
    QInitCtrlStyle::InitPalette(m_converterState, QPalette::WindowText, kFailedColor);
    QFont failedFont = m_converterState->font();
    failedFont.setBold(true);
    m_converterState->setFont(failedFont);
    m_converterState->adjustSize();
    connect(m_btnEditName, &QPushButton::clicked, this, &VideoConvertBar::OnBtnEditName);
    connect(m_btnPlay, &QPushButton::clicked, this, &VideoConvertBar::OnBtnPlay);
    connect(m_btnEdit, &QPushButton::clicked, this, &VideoConvertBar::OnBtnEdit);
    connect(m_btnFile, &QPushButton::clicked, this, &VideoConvertBar::OnBtnFile);
    m_videoIconWidget->setBackgroundImage(g_iconPixmap, false);
    m_videoIconWidget->setFixedSize(kThumbSide, kThumbSide);
}

void VideoConvertBar::setVideoItemInfo(ZvVideoConvertItem *item, bool)
{
    m_videoItem = item;
    if (!item || !ZvVideoConvertManager::getConvertManagerObject()->GetItem(item->Index()))
        return;
    settingChange();
    m_btnEdit->setEnabled(!isAnimatedFormat(currentFormat()));
    cacheThumbnail();
    m_videoIconWidget->setAllImage(QString(), item->thumbnail, QString());
}

void VideoConvertBar::cacheThumbnail() const
{
    const QImage *thumbnail = m_videoItem->thumbnail;
    if (!thumbnail || thumbnail->isNull())
        return;
    const QString folder = QIAnyUtil::getAppDataPath() + QStringLiteral("/Temp");
    QDir().mkpath(folder);
    const QString name = QString::fromStdString(MD5(m_videoItem->path.toUtf8().toStdString()).hexdigest());
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".JPG");
    if (!QFileInfo::exists(path))
        thumbnail->save(path, "JPG");
}

void VideoConvertBar::detachItem()
{
    hide();
    resetIconImage();
    m_videoItem = nullptr;
    disconnect();
    // Reports of a job already queued to this row must not reach anyone.
    connect(this, &VideoConvertBar::seedConvertPro, this, &VideoConvertBar::UpdataConverPro);
}

void VideoConvertBar::settingChange()
{
    if (!m_videoItem)
        return;
    QString &fileName = m_videoItem->fileName;
    fileName = fileName.left(fileName.lastIndexOf(QLatin1Char('.')) + 1) + m_videoItem->extension;
    m_labVideoName->setText(trimName(fileName));
    m_strResolution = QStringLiteral("%1x%2").arg(m_videoItem->videoWidth).arg(m_videoItem->videoHeight);
}

void VideoConvertBar::setEditBtnEnabled(bool enabled)
{
    m_btnEdit->setEnabled(enabled);
}

void VideoConvertBar::setConvertState()
{
    if (m_nConvertState == 3)
        return;
    m_progressBar->hide();
    // A failed row must not look like a waiting one: a red mark, the reason on hover.
    const bool failed = m_nConvertState == BarFailed;
    m_converterState->setVisible(failed);
    m_converterState->setToolTip(failed ? m_strFailReason : QString());
    setToolTip(failed ? m_strFailReason : QString());
    const bool idle = m_nConvertState == BarIdle || m_nConvertState == BarDone || m_nConvertState == BarFailed;
    m_btnClose->setEnabled(idle);
    m_btnEditName->setEnabled(idle);
    m_videoIconWidget->setEnabled(idle);
}

void VideoConvertBar::setMouseState(QConvertMouseState state)
{
    m_mouseState = state;
    update();
}

QString VideoConvertBar::getVideoName() const
{
    return m_videoItem ? m_videoItem->fileName : QString();
}

QString VideoConvertBar::getVideoPath() const
{
    return m_videoItem ? m_videoItem->path : QString();
}

void VideoConvertBar::resetIconImage()
{
    m_videoIconWidget->ResetVideoImage();
}

QString VideoConvertBar::trimName(const QString &name)
{
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? name : name.left(dot);
}

QList<QWidget *> VideoConvertBar::tabStops() const
{
    return {m_btnClose, m_btnEditName, m_btnPlay, m_btnEdit, m_btnFile};
}

void VideoConvertBar::OnBtnDelete() { emit emitDelete(); }
void VideoConvertBar::OnBtnPlay() { emit emitPlay(); }
void VideoConvertBar::OnBtnEdit() { emit emitEdit(); }
void VideoConvertBar::OnBtnFile() { emit emitFile(); }

void VideoConvertBar::OnBtnEditName()
{
    m_labVideoName->setCanEditText(true);
}

void VideoConvertBar::ChangeName()
{
    QString name = m_labVideoName->getName();
    if (name.trimmed().isEmpty())
        name = m_videoItem ? trimName(m_videoItem->fileName) : QString();
    if (m_videoItem)
        m_videoItem->fileName = name + QLatin1Char('.') + m_videoItem->extension;
    m_labVideoName->setText(name);
    RefreshLocation();
}

void VideoConvertBar::mousePressEvent(QMouseEvent *event)
{
    if (!isEnabled())
        return;
    const Qt::MouseButton button = event->button();
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool right = button == Qt::RightButton;
    if (right) {
        if (m_mouseState != ConvertMouseSelected) {
            m_mouseState = ConvertMouseSelected;
            update();
            emit emitMousePress();
        }
        emit emitshowTreeMenu();
        return;
    }
    if (button != Qt::LeftButton)
        return;
    if (modifiers == Qt::ShiftModifier) {
        emit emitMouseShiftPress();
    } else if (modifiers == Qt::ControlModifier) {
        m_mouseState = m_mouseState == ConvertMouseSelected ? ConvertMouseNone : ConvertMouseSelected;
        emit emitMouseCtrlPress();
        update();
    } else {
        m_mouseState = ConvertMouseSelected;
        emit emitMousePress();
        update();
    }
}

void VideoConvertBar::mouseReleaseEvent(QMouseEvent *)
{
    emit emitMouseRelease();
}

void VideoConvertBar::setHoverButtonsVisible(bool visible)
{
    m_btnClose->setVisible(visible);
    m_btnEditName->setVisible(visible);
    m_btnPlay->setVisible(visible);
    m_btnEdit->setVisible(visible);
    m_btnFile->hide();
    m_videoIconWidget->showPlayBtn(visible);
    RefreshLocation();
}

void VideoConvertBar::enterEvent(QEvent *)
{
    if (!isEnabled())
        return;
    setHoverButtonsVisible(true);
    if (m_mouseState != ConvertMouseHover && m_mouseState != ConvertMouseSelected) {
        m_mouseState = ConvertMouseHover;
        m_btnMask->setBtnState(1);
        update();
    }
}

void VideoConvertBar::leaveEvent(QEvent *)
{
    setHoverButtonsVisible(false);
    if (m_mouseState == ConvertMouseHover) {
        m_mouseState = ConvertMouseNone;
        m_btnMask->setBtnState(0);
        update();
    }
}

void VideoConvertBar::paintEvent(QPaintEvent *)
{
    if (!isEnabled())
        m_mouseState = ConvertMouseNone;
    if (!g_backgroundStrip) {
        g_backgroundStrip = loadDoubleResolution(QStringLiteral("/image/videodisplay/Videoprogress_bg.png"));
        g_columnIcons = loadDoubleResolution(QStringLiteral("/image/videodisplay/item_Icon.png"));
    }
    QPainter painter(this);
    const int state = m_mouseState;
    const bool known = state >= 0 && state <= 2;
    if (known)
        m_btnMask->setBtnState(state);
    if (!g_backgroundStrip->isNull()) {
        const int frameWidth = g_backgroundStrip->width() / 4;
        painter.drawPixmap(rect(), *g_backgroundStrip,
                           QRect((known ? state : 0) * frameWidth, 0, frameWidth, g_backgroundStrip->height()));
    }
    drawStaticCtrl(painter);
}

void VideoConvertBar::drawStaticCtrl(QPainter &painter)
{
    const bool selected = m_mouseState >= ConvertMouseSelected;
    QImage rename = halfOf(g_btnEditTImage, selected);
    QImage edit = halfOf(g_btnEditImage, selected);
    QImage play = halfOf(g_btnPlayImage, selected);
    QImage file = halfOf(g_btnFileImage, selected);
    m_btnEditName->setButtonImage(rename, true);
    m_btnEdit->setButtonImage(edit, true);
    m_btnPlay->setButtonImage(play, true);
    m_btnFile->setButtonImage(file, true);
    QInitCtrlStyle::InitPalette(m_labVideoName, QPalette::WindowText, kTextColor);

    QFont textFont = font();
    textFont.setFamily(QStringLiteral("Tahoma"));
    textFont.setPixelSize(12);
    painter.setFont(textFont);
    painter.setPen(kTextColor);
    if (!m_strResolution.isEmpty())
        drawColumn(painter, m_infoColumnsX, 0, m_strResolution);
    drawColumn(painter, m_infoColumnsX + 100, 2, output() ? output()->displayName() : QString());
    drawColumn(painter, m_infoColumnsX + 160, 1, m_videoItem ? m_videoItem->durationText : QString());
}

void VideoConvertBar::drawColumn(QPainter &painter, int x, int gridColumn, const QString &text)
{
    const int h = height();
    int iconWidth = 0;
    if (g_columnIcons && !g_columnIcons->isNull()) {
        const int cellWidth = g_columnIcons->width() / 4;
        const int cellHeight = g_columnIcons->height() / 2;
        const int logicalWidth = g_columnIcons->width() / 8;
        const int logicalHeight = g_columnIcons->height() / 4;
        const int row = m_mouseState >= ConvertMouseSelected ? 0 : 1;
        painter.drawPixmap(QRect(x, (h - logicalHeight) / 2, logicalWidth, logicalHeight), *g_columnIcons,
                           QRect(gridColumn * cellWidth, row * cellHeight, cellWidth, cellHeight));
        iconWidth = logicalWidth;
    }
    const QRect box(x + iconWidth + 5, (h - 15) / 2, 95, 15);
    painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter,
                     painter.fontMetrics().elidedText(text, Qt::ElideRight, box.width()));
}

void VideoConvertBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    RefreshLocation();
}

void VideoConvertBar::showEvent(QShowEvent *event)
{
    emit emitRepaint();
    QWidget::showEvent(event);
    RefreshLocation();
}

// A wider window gives the name the room; the label cuts it again to its new width.
void VideoConvertBar::setNameWidth(int width)
{
    if (m_labVideoName->width() == width)
        return;
    m_labVideoName->setFixedWidth(width);
    m_labVideoName->setText(m_labVideoName->getName());
}

void VideoConvertBar::RefreshLocation()
{
    const int w = width();
    const int h = height();
    const int iconTop = (h - kThumbSide) / 2;
    m_videoIconWidget->move(0, iconTop - 1);
    m_btnMask->move(0, iconTop);
    m_btnClose->move(w - m_btnClose->width(), 0);
    m_btnEdit->move(m_btnClose->x() - 12 - m_btnEdit->width(), (h - m_btnEdit->height()) / 2 - 3);
    m_btnPlay->move(m_btnEdit->x() - 12 - m_btnPlay->width(), (h - m_btnPlay->height()) / 2 - 2);
    const int nameX = m_videoIconWidget->geometry().right() + 10;
    // The name has the room up to the information columns, which a wider window moves
    // right; the rename button, while shown, takes the end of that room.
    m_infoColumnsX = std::max(nameX + kMinNameRoom, m_btnPlay->x() - kInfoColumnsWidth);
    const int room = m_infoColumnsX - kNameGap - nameX;
    setNameWidth(m_btnEditName->isHidden() ? room : room - kButtonSide - 1);
    m_labVideoName->move(nameX, (h - m_labVideoName->height()) / 2 - 2);
    m_btnEditName->move(m_labVideoName->geometry().right() + 1, (h - m_btnEditName->height()) / 2 - 2);
    m_progressBar->setGeometry(0, iconTop, kThumbSide, kThumbSide);
    m_converterState->move(m_labVideoName->x(), m_labVideoName->y() + m_labVideoName->height() + 2);
}
