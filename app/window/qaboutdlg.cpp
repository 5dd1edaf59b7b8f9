#include "qaboutdlg.h"

#include "folderlauncher.h"
#include "qconverteroperate.h"
#include "qianyutil.h"
#include "qinitctrlstyle.h"
#include "qzvbasebutton.h"
#include "zvcommoninterface.h"

#include <QLabel>
#include <QPainter>

namespace {
constexpr int kFrenchLanguage = 3;
}

QAboutDlg::QAboutDlg(QWidget *parent)
    : QZVDialogEx(parent)
{
    setObjectName(QStringLiteral("QAboutDlg"));
    setFocusPolicy(Qt::NoFocus);
    m_labProject = makeLabel("m_labProject");
    m_labVersion = makeLabel("m_labVersion");
    m_labCopyright = makeLabel("m_labCopyright");
    m_labHome = makeLabel("m_labHome");
    m_labVisit = makeLabel("m_labVisit");
    m_labProjectVersion = makeLabel("m_labProjectVersion");
    Init();
    InitCtrl();
    setStretchPolicy(0);
}

QUrl QAboutDlg::homePage()
{
    // The program has no web site: its home is the guide in the resource folder.
    return QUrl::fromLocalFile(QIAnyUtil::getResourcePath() + QStringLiteral("/help/index.html"));
}

QLabel *QAboutDlg::makeLabel(const char *name)
{
    auto *label = new QLabel(this);
    label->setObjectName(QLatin1String(name));
    label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    return label;
}

void QAboutDlg::Init()
{
    QInitCtrlStyle::InitBg2(this);
    setWindowTitle(tr("About"));
    setDlgTitle(tr("About"));
    setFixedSize(400, 250);
    m_logoPixmap = QPixmap(QIAnyUtil::getResourcePath() + QStringLiteral("/image/common/no_title_logo.png"))
                       .scaled(80, 80, Qt::KeepAspectRatio, Qt::SmoothTransformation);
}

void QAboutDlg::InitCtrl()
{
    const QString resources = QIAnyUtil::getResourcePath();
    addCloseBtn(resources + QStringLiteral("/image/btn_close.png"), true);
    connect(m_btnTitleClose, &QZVBaseButton::clicked, this, &QAboutDlg::close);
    addMinBtn(resources + QStringLiteral("/image/btn_min.png"), true);
    addMaxBtn(resources + QStringLiteral("/image/btn_max.png"), true);

    m_labProject->setText(QStringLiteral("Calvetrin Glintora"));
    m_labProject->adjustSize();
    m_labProjectVersion->clear();
    m_labVersion->setText(QStringLiteral("%1 %2").arg(tr("Version"), ZvCommonInterface::getAppVersion()));
    m_labCopyright->setText(tr("Copyright © 2026 Calvetrin. All rights reserved."));
    m_labCopyright->adjustSize();
    m_labVisit->setText(tr("Visit:"));
    m_labHome->setText(QStringLiteral("<style> a {text-decoration: 1} </style> <a style='color: %1;' href = %2> %3</a>")
                           .arg(QColor(53, 53, 53).name(), homePage().toString(QUrl::FullyEncoded), tr("User guide")));

    QFont font = m_labProject->font();
    font.setFamily(QStringLiteral("helvetica neue"));
    font.setPointSize(15);
    m_labProject->setFont(font);
    m_labProject->adjustSize();
    font.setPointSize(13);
    for (QLabel *label : {m_labVersion, m_labVisit, m_labHome})
        label->setFont(font);
    // Measured in the font they are drawn with, or the texts are cut.
    m_labVisit->adjustSize();
    m_labVisit->resize(m_labVisit->width() + 5, 21);
    m_labHome->adjustSize();
    if (QConverterOperate::getLanguageType() == kFrenchLanguage) {
        font.setPixelSize(11);
        m_labCopyright->setFont(font);
    }
    for (QLabel *label : {m_labProject, m_labVersion, m_labVisit, m_labHome, m_labCopyright})
        setLabelStyle(*label);
    connect(m_labHome, &QLabel::linkActivated, this, &QAboutDlg::OnClickHome);
}

void QAboutDlg::setLabelStyle(QLabel &label)
{
    QPalette palette;
    palette.setColor(QPalette::WindowText, QColor(53, 53, 53));
    label.setPalette(palette);
}

void QAboutDlg::OnClickHome(const QString &)
{
    FolderLauncher::openPage(homePage());
}

void QAboutDlg::paintEvent(QPaintEvent *event)
{
    QZVDialogEx::paintEvent(event);
    if (!m_logoPixmap.isNull()) {
        QPainter painter(this);
        painter.drawPixmap(50, 50, m_logoPixmap);
    }
    m_labProject->move(140, 80);
    m_labProjectVersion->move(145 + m_labProject->width(), 78);
    m_labVersion->setGeometry(140, 100, 300, 20);
    m_labVisit->move(50, 150);
    m_labHome->move(m_labVisit->geometry().right() + 5, 150);
    m_labCopyright->move(50, 180);
}
