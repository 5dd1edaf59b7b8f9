#pragma once

#include "ui_qzvmessagedlg.h"

#include <QDialog>
#include <QFont>
#include <QImage>
#include <QPixmap>
#include <QRect>

class QPainter;
class QZVOpaqueFrame;

// Bits of the message box's style word.
using MessageStyle = unsigned int;

// The system's own message box: a translucent frameless dialog with a nine-slice
// background, a centred title, a word-wrapped message with an optional kind icon and
// one or two buttons. It sizes itself to the message on every show; a message too tall
// for a screen scrolls inside the box. exec() returns the
// QMessageBox::StandardButton number of the button pressed, 0 for Escape.
class QScrollArea;

class QZVMessageDlg : public QDialog, public Ui::QZVMessageDlg
{
    Q_OBJECT

public:
    enum StyleBits : MessageStyle {
        IconBit = 0x2,
        WarningIcon = 0x12,
        SuccessIcon = 0x22,
        ErrorIcon = 0x32,
        OkCancelButtons = 0x100,
        RestartButtons = 0x200,
        YesNoButtons = 0x400,
        ButtonBits = 0x700
    };

    explicit QZVMessageDlg(QWidget *parent = nullptr);
    ~QZVMessageDlg() override;

    void setTitle(const QString &title);
    QString title() const;
    void setMessage(const QString &message);
    QString message() const;
    void setStyle(MessageStyle style);
    MessageStyle style() const;
    // Laid out on every show, in the dialog's coordinates.
    QRect messageRect() const;
    QRect titleRect() const;
    // The view of a message taller than the box shows; null while the message fits.
    QScrollArea *scrollingMessage() const { return m_scrollMessage; }

public slots:
    void OnBtnOk();
    void OnBtnCancel();

protected:
    void showEvent(QShowEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QString resource(const QString &name) const;
    void centreBaseWindow();
    void layoutMessage();
    void initButtons();
    void chooseIcon();
    void placeButtons();
    bool startSystemMove();
    void paintBackground(QPainter &painter, const QRect &area);
    void showScrollingMessage(bool scrolls);

    QString m_strResourcePath;
    QString m_strTitle;
    QString m_strMessage;
    QString m_strShown; // the message with break chances in words too wide for the box
    QRect m_rectTitle;
    QRect m_rectMessage;
    QFont m_fontTitle;
    QFont m_fontMessage;
    QPixmap m_pixStyle;
    QRect m_rectWindow;
    QImage m_imgBackground;
    QZVOpaqueFrame *m_opaqueFrame = nullptr;
    QRect m_rectBase;
    MessageStyle m_style = 0;
    bool m_bDragging = false;
    QPoint m_ptPressOffset;
    QScrollArea *m_scrollMessage = nullptr;
};
