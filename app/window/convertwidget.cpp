#include "convertwidget.h"

#include "preferencegroup.h"
#include "qconverteroperate.h"
#include "qianyutil.h"
#include "qinitctrlstyle.h"
#include "qvideosettingxml.h"
#include "qzvbasebutton.h"
#include "qzvcombobox.h"
#include "qzvtextedit.h"
#include "zvcommoninterface.h"

#include <QFileDialog>
#include <QGroupBox>
#include <QPainter>
#include <QTextEdit>

namespace {

const QString kFinishItem = QStringLiteral("SHOWDOWN_ITEM");
const QString kFinishKey = QStringLiteral("Finished_All_Job");

QString defaultOutPath()
{
    QString folder = QIAnyUtil::getDefaultConvertPath();
    return folder.replace(QLatin1Char('\\'), QLatin1Char('/'));
}

// Sets the texts again in place, so the chosen entry stays chosen.
void setComboTexts(QZVComboBox *combo, const QStringList &texts)
{
    for (int i = 0; i < texts.size(); ++i)
        combo->setItemText(i, texts.at(i));
}

} // namespace

ConvertWidget::ConvertWidget(QWidget *parent)
    : QWidget(parent)
{
    setupUi();
    InitCtrl();
    InitBtn();
}

void ConvertWidget::setupUi()
{
    setObjectName(QStringLiteral("ConvertWidget"));
    m_GroupFinish = new QGroupBox(this);
    m_GroupFinish->setObjectName(QStringLiteral("m_GroupFinish"));
    m_cmbFinished = new QZVComboBox(m_GroupFinish);
    m_cmbFinished->setObjectName(QStringLiteral("m_cmbFinished"));
    m_groupOutput = new QGroupBox(this);
    m_groupOutput->setObjectName(QStringLiteral("m_groupOutput"));
    m_btnChange = new QZVBaseButton(m_groupOutput);
    m_btnChange->setObjectName(QStringLiteral("m_btnChange"));
    m_btnChange->setCursor(Qt::PointingHandCursor);
    m_btnReset = new QZVBaseButton(m_groupOutput);
    m_btnReset->setObjectName(QStringLiteral("m_btnReset"));
    m_btnReset->setCursor(Qt::PointingHandCursor);
    m_pathTextEdit = new QZVTextEdit(m_groupOutput);
    m_pathTextEdit->setObjectName(QStringLiteral("m_pathTextEdit"));
    m_GroupArchive = new QGroupBox(this);
    m_GroupArchive->setObjectName(QStringLiteral("m_GroupArchive"));
    m_cmbOutput = new QZVComboBox(m_GroupArchive);
    m_cmbOutput->setObjectName(QStringLiteral("m_cmbOutput"));
}

QStringList ConvertWidget::archiveTexts()
{
    return {tr("Artist"), tr("Artist/Album"), tr("None")};
}

QStringList ConvertWidget::finishTexts()
{
    return {tr("Do Nothing"), tr("Put Computer to Sleep"), tr("Shut Down My Computer")};
}

void ConvertWidget::InitCtrl()
{
    QInitCtrlStyle::InitZVCombox1(m_cmbOutput, 140, 20, QString());
    m_cmbOutput->addItems(archiveTexts());
    m_GroupArchive->hide();

    QInitCtrlStyle::InitZVCombox1(m_cmbFinished, 140, 20, QString());
    QInitCtrlStyle::InitFont(m_cmbFinished, 12);
    QFont itemFont = m_cmbFinished->font();
    itemFont.setPixelSize(12);
    m_cmbFinished->setItemFont(itemFont);
    m_cmbFinished->addItems(finishTexts());
    // Text that is not a number selects the first action; a number out of range selects none.
    const QString finish = QVideoSettingXml::GetItemValue(kFinishItem, kFinishKey, QStringLiteral("0"));
    m_cmbFinished->setCurrentIndex(finish.toInt());

    for (QGroupBox *group : {m_GroupFinish, m_groupOutput, m_GroupArchive})
        stylePreferenceGroup(group);
    QInitCtrlStyle::InitTextEdit(m_pathTextEdit);
    QTextEdit *edit = m_pathTextEdit->textEdit();
    edit->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    edit->setReadOnly(true);
    retranslateUi();
    InitOutPath();
}

void ConvertWidget::InitOutPath()
{
    showOutPath(QVideoSettingXml::GetItemValue(QStringLiteral("OutPut_path"), QStringLiteral("path_value"),
                                               defaultOutPath()));
}

void ConvertWidget::InitBtn()
{
    QInitCtrlStyle::InitZVButton(m_btnReset, 67, 20);
    QInitCtrlStyle::InitZVButton(m_btnChange, 67, 20);
    m_btnReset->setText(tr("Reset"));
    m_btnChange->setText(tr("Change"));
    QInitCtrlStyle::InitFont(m_btnReset, 12);
    QInitCtrlStyle::InitFont(m_btnChange, 12);
    connect(m_btnChange, &QZVBaseButton::clicked, this, &ConvertWidget::OnChangePath);
    connect(m_btnReset, &QZVBaseButton::clicked, this, &ConvertWidget::OnResetPath);
}

void ConvertWidget::retranslateUi()
{
    m_GroupFinish->setTitle(tr("When all job finished"));
    m_groupOutput->setTitle(tr("Output"));
    m_GroupArchive->setTitle(tr("Archive output tracks by"));
    m_btnChange->setText(tr("Change"));
    m_btnReset->setText(tr("Reset"));
    QInitCtrlStyle::InitFont(m_btnChange, QConverterOperate::getLanguageType() == 3 ? 11 : 12);
    setComboTexts(m_cmbFinished, finishTexts());
    setComboTexts(m_cmbOutput, archiveTexts());
}

void ConvertWidget::showOutPath(const QString &path)
{
    m_strOutPath = path;
    m_pathTextEdit->textEdit()->setPlainText(path);
}

void ConvertWidget::OnChangePath()
{
    const QString folder = QFileDialog::getExistingDirectory(this, tr("Save to"), m_strOutPath,
                                                             QFileDialog::ShowDirsOnly);
    if (folder.isEmpty())
        return;
    const QString path = folder + QLatin1Char('/');
    if (ZvCommonInterface::isWritableDir(path))
        showOutPath(path);
}

void ConvertWidget::OnResetPath()
{
    showOutPath(defaultOutPath());
}

void ConvertWidget::saveSetting()
{
    QConverterOperate::setConverterPath(m_strOutPath);
    QVideoSettingXml::SetItemValue(kFinishItem, kFinishKey, QString::number(m_cmbFinished->currentIndex()));
    QConverterOperate::setKeepClassify(m_cmbOutput->currentIndex());
}

void ConvertWidget::paintEvent(QPaintEvent *event)
{
    QWidget::paintEvent(event);
    QPainter(this).fillRect(rect(), Qt::white);
    const int groupWidth = width() - 40;
    m_groupOutput->setGeometry(20, 5, groupWidth, 100);
    m_GroupArchive->setGeometry(20, 114, groupWidth, 70);
    m_GroupFinish->setGeometry(20, 114, groupWidth, 70);
    m_pathTextEdit->setGeometry(20, 22, 285, m_groupOutput->height() - 40);
    const int pathTop = m_pathTextEdit->y();
    m_btnReset->move(m_groupOutput->width() - 20 - m_btnReset->width(), pathTop + 5);
    m_btnChange->move(m_groupOutput->width() - 20 - m_btnChange->width(),
                      pathTop + m_pathTextEdit->height() - m_btnChange->height() - 6);
    for (QZVComboBox *combo : {m_cmbOutput, m_cmbFinished})
        combo->move(20, (m_GroupFinish->height() - combo->height()) / 2 + 5);
}
