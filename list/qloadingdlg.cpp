#include "qloadingdlg.h"

#include "qianyutil.h"
#include "qinitctrlstyle.h"

namespace {

const QColor kTextColor(53, 53, 53);
const QColor kDisabledTextColor(167, 167, 167);

void setTextColor(QWidget *widget)
{
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, kTextColor);
    widget->setPalette(palette);
}

} // namespace

QLoadingDlg::QLoadingDlg(QWidget *parent)
    : QZVDialogEx(parent)
{
    setupUi(this);
    Init();
    OnInitCtrl();
}

QLoadingDlg::~QLoadingDlg() = default;

void QLoadingDlg::Init()
{
    const QString title = QStringLiteral("Calvetrin Glintora");
    setWindowTitle(title);
    setDlgTitle(title);
    QInitCtrlStyle::InitBg2(this);
    setFixedSize(440, 170);
}

void QLoadingDlg::OnInitCtrl()
{
    const QString resources = QIAnyUtil::getResourcePath();
    addCloseBtn(resources + QStringLiteral("/image/btn_close.png"), true);
    QInitCtrlStyle::InitZVButton(m_btnCancel, 100, 24);
    m_btnCancel->setText(tr("Cancel"));
    m_btnCancel->move(315, 130);
    addMinBtn(resources + QStringLiteral("/image/btn_min.png"), true);
    addMaxBtn(resources + QStringLiteral("/image/btn_max.png"), true);
    m_btnCancel->setTextColor(kTextColor, kTextColor, kTextColor, kDisabledTextColor);

    m_labAddingPath->setText(tr("Adding File(s):"));
    m_labAdded->setText(tr("Added:"));
    for (QLabel *label : {m_labAddingPath, m_labAdded, m_labAddingPath_2, m_labAdded_2}) {
        QInitCtrlStyle::InitFont(label, 11);
        setTextColor(label);
    }

    m_progressBar->setBottomImage(resources + QStringLiteral("/image/common/slider_bottom.png"));
    m_progressBar->setTopImage(resources + QStringLiteral("/image/common/slider_top.png"));
    m_progressBar->setCircle(true);
    m_progressBar->setCircleLenght(4);
    m_progressBar->move(30, 96);
    m_progressBar->setFormat(QString());
    m_progressBar->setValue(0);

    m_labAddingPath->adjustSize();
    m_labAdded->adjustSize();

    connect(m_btnTitleClose, &QAbstractButton::clicked, this, &QLoadingDlg::OnCloseStop);
    connect(m_btnCancel, &QAbstractButton::clicked, this, &QLoadingDlg::OnCloseStop);
    // However the user dismisses the dialog (Cancel, close button, Escape), the import stops.
    connect(this, &QDialog::rejected, this, &QLoadingDlg::seedStopAddFile);
}

// Every value goes through the event queue, also from this thread, so values set from
// the file-adding thread and from the dialog's own thread keep the order they were set
// in. Never a blocking call: the dialog's thread may be waiting for the setter's thread.
template<typename Apply>
void QLoadingDlg::applyInOrder(Apply apply)
{
    QMetaObject::invokeMethod(this, std::move(apply), Qt::QueuedConnection);
}

void QLoadingDlg::setAddFilePath(const QString &path)
{
    applyInOrder([this, path] {
        m_labAddingPath_2->setText(
            m_labAddingPath_2->fontMetrics().elidedText(path, Qt::ElideMiddle, m_labAddingPath_2->width()));
    });
}

void QLoadingDlg::setAddCount(const QString &count)
{
    applyInOrder([this, count] { m_labAdded_2->setText(count); });
}

void QLoadingDlg::setProgressVale(float value)
{
    applyInOrder([this, value] { m_progressBar->setValue(double(value)); });
}

void QLoadingDlg::OnCloseStop()
{
    reject();
}

void QLoadingDlg::resetControlLocation()
{
    const int w = width();
    m_btnCancel->move(w - 30 - m_btnCancel->width(), 130);
    m_labAddingPath->move(30, 46);
    m_labAdded->move(30, 71);
    m_labAddingPath_2->setGeometry(QRect(QPoint(m_labAddingPath->geometry().right() + 5, 46),
                                         QPoint(w - 31, 46 + m_labAddingPath->height() - 1)));
    const int countLeft = m_labAdded->geometry().right() + 5;
    m_labAdded_2->setGeometry(QRect(QPoint(countLeft, 71), QPoint(m_labAdded->geometry().right() + 104,
                                                                   71 + m_labAdded->height() - 1)));
    m_progressBar->setGeometry(QRect(QPoint(30, 96), QPoint(w - 31, 99)));
}
