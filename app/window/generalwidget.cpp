#include "generalwidget.h"

#include "preferencegroup.h"
#include "qinitctrlstyle.h"
#include "qvideosettingxml.h"
#include "qzvradiobutton.h"

#include <QGroupBox>
#include <QPainter>

namespace {

const QString kUpdatesItem = QStringLiteral("UPDATES_ITEM");
const QString kUpdatesKey = QStringLiteral("bIsAutoUpdate");
const QString kCloseItem = QStringLiteral("CLOSE_ITEM");
const QString kCloseKey = QStringLiteral("bIsCloseDlg");

QString yesNo(bool on)
{
    return on ? QStringLiteral("Y") : QStringLiteral("N");
}

} // namespace

GeneralWidget::GeneralWidget(QWidget *parent)
    : QWidget(parent)
{
    setupUi();
    InitCtrl();
}

void GeneralWidget::setupUi()
{
    setObjectName(QStringLiteral("GeneralWidget"));
    m_GroupUpdates = new QGroupBox(this);
    m_GroupUpdates->setObjectName(QStringLiteral("m_GroupUpdates"));
    m_radAutoUpdate = new QZVRadioButton(m_GroupUpdates);
    m_radAutoUpdate->setObjectName(QStringLiteral("m_radAutoUpdate"));
    m_radCloseUpdate = new QZVRadioButton(m_GroupUpdates);
    m_radCloseUpdate->setObjectName(QStringLiteral("m_radCloseUpdate"));
    m_GroupClose = new QGroupBox(this);
    m_GroupClose->setObjectName(QStringLiteral("m_GroupClose"));
    m_radMin = new QZVRadioButton(m_GroupClose);
    m_radMin->setObjectName(QStringLiteral("m_radMin"));
    m_radExit = new QZVRadioButton(m_GroupClose);
    m_radExit->setObjectName(QStringLiteral("m_radExit"));
}

void GeneralWidget::InitCtrl()
{
    m_GroupUpdates->move(20, 5);
    m_GroupClose->move(20, 100);
    placeControls();
    for (QGroupBox *group : {m_GroupUpdates, m_GroupClose})
        stylePreferenceGroup(group);
    for (QZVRadioButton *radio : {m_radAutoUpdate, m_radCloseUpdate, m_radExit, m_radMin}) {
        QInitCtrlStyle::InitRadio(radio);
        QInitCtrlStyle::InitFont(radio, 12);
    }
    connect(m_radAutoUpdate, &QZVRadioButton::clicked, this, &GeneralWidget::OnChanegeUpdate);
    connect(m_radCloseUpdate, &QZVRadioButton::clicked, this, &GeneralWidget::OnChanegeUpdate);
    connect(m_radExit, &QZVRadioButton::clicked, this, &GeneralWidget::OnChangeClose);
    connect(m_radMin, &QZVRadioButton::clicked, this, &GeneralWidget::OnChangeClose);

    m_bAutoUpdate = QVideoSettingXml::GetItemValue(kUpdatesItem, kUpdatesKey, QStringLiteral("N"))
                    == QLatin1String("Y");
    m_radAutoUpdate->setChecked(m_bAutoUpdate);
    // The program never updates itself: the system's package manager does.
    m_radAutoUpdate->setEnabled(false);
    m_radCloseUpdate->setChecked(!m_bAutoUpdate);
    m_bExitOnClose = QVideoSettingXml::GetItemValue(kCloseItem, kCloseKey, QStringLiteral("Y"))
                     == QLatin1String("Y");
    m_radExit->setChecked(m_bExitOnClose);
    m_radMin->setChecked(!m_bExitOnClose);
    retranslateUi();
}

void GeneralWidget::retranslateUi()
{
    m_GroupUpdates->setTitle(tr("Automatic updates"));
    m_GroupClose->setTitle(tr("Close"));
    m_radAutoUpdate->setText(tr("Automatically update to the newest version"));
    m_radAutoUpdate->setToolTip(tr("Updates come with your system's packages."));
    m_radCloseUpdate->setText(tr("Close automatic updates"));
    m_radMin->setText(tr("Minimize to Tray"));
    m_radExit->setText(tr("Exit"));
    for (QZVRadioButton *radio : {m_radAutoUpdate, m_radCloseUpdate, m_radMin, m_radExit})
        radio->adjustSize();
}

// The radios sit in separate groups of two, so each pair is kept exclusive by hand.
void GeneralWidget::OnChanegeUpdate()
{
    const bool autoUpdate = sender() == m_radAutoUpdate;
    m_radAutoUpdate->setChecked(autoUpdate);
    m_radCloseUpdate->setChecked(!autoUpdate);
}

void GeneralWidget::OnChangeClose()
{
    const bool exit = sender() == m_radExit;
    m_radExit->setChecked(exit);
    m_radMin->setChecked(!exit);
}

void GeneralWidget::saveSetting()
{
    const bool autoUpdate = m_radAutoUpdate->isChecked();
    if (autoUpdate != m_bAutoUpdate) {
        QVideoSettingXml::SetItemValue(kUpdatesItem, kUpdatesKey, yesNo(autoUpdate));
        emit sendUpdate(autoUpdate);
    }
    const bool exit = m_radExit->isChecked();
    if (exit != m_bExitOnClose)
        QVideoSettingXml::SetItemValue(kCloseItem, kCloseKey, yesNo(exit));
}

void GeneralWidget::placeControls()
{
    m_radAutoUpdate->move(20, 26);
    m_radMin->move(20, 26);
    m_radCloseUpdate->move(20, 51);
    m_radExit->move(20, 51);
}

void GeneralWidget::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QPainter(this).fillRect(rect(), Qt::white);
    m_GroupUpdates->setGeometry(20, 5, width() - 40, 80);
    m_GroupClose->setGeometry(20, 100, width() - 40, 80);
    placeControls();
}
