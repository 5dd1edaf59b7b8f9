#include "qformatdlg.h"

#include "photoconverterinfo.h"
#include "qconverteroperate.h"
#include "qvideosettingxml.h"

#include <QDialogButtonBox>
#include <QListWidget>
#include <QVBoxLayout>

namespace {

struct FormatRow
{
    const char *title;
    const char *format;
    unsigned int codecId;
    bool quality;
    bool exif;
    bool animation;
    const char *animationSuffix;
    const char *animationFormat;
    unsigned int animationCodecId;
    int frameFormat;
};

// The six outputs, in the order the list shows them; codec ids in the codec library's numbering.
const FormatRow kFormats[] = {
    {"JPG", "jpeg", 8, true, true, false, "mp4", "mp4", 28, -1},
    {"PNG", "png", 62, false, false, true, "png", "apng", 0x41504E47, -1},
    {"BMP", "bmp", 79, false, false, false, "mp4", "mp4", 28, -1},
    {"GIF", "gif", 98, false, false, true, "gif", "gif", 98, -1},
    {"WEBP", "webp", 0x57454250, true, false, true, "webp", "webp", 0x57454250, -1},
    {"TIFF", "tiff", 97, false, false, false, "mp4", "mp4", 28, 2},
};
constexpr int kFormatCount = int(sizeof kFormats / sizeof kFormats[0]);
const QString kFallbackFormat = QStringLiteral("JPG");

int rowOf(const QString &title)
{
    for (int row = 0; row < kFormatCount; ++row)
        if (title == QLatin1String(kFormats[row].title))
            return row;
    return -1;
}

} // namespace

QPointer<QFormatDlg> QFormatDlg::m_myself;

QFormatDlg *QFormatDlg::getFormatWidget(QWidget *parent)
{
    if (!m_myself)
        m_myself = new QFormatDlg(parent);
    return m_myself;
}

void QFormatDlg::resetInstanceForTests()
{
    delete m_myself;
}

QFormatDlg::QFormatDlg(QWidget *parent)
    : QDialog(parent)
    , m_listView(new QListWidget(this))
{
    setObjectName(QStringLiteral("QFormatDlg"));
    setWindowTitle(tr("Format"));
    for (const FormatRow &row : kFormats)
        m_listView->addItem(QString::fromLatin1(row.title));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_listView);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QFormatDlg::OnBtnOk);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::hide);
    connect(m_listView, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0)
            setDefaultValue(QString::fromLatin1(kFormats[row].title));
    });
}

int QFormatDlg::currentRow() const
{
    return m_listView->currentRow();
}

void QFormatDlg::setFormatId(QString id)
{
    // A stored name that no longer names a format would give outputs without an extension.
    int row = rowOf(id);
    if (row < 0) {
        row = rowOf(kFallbackFormat);
        QVideoSettingXml::SetItemValue(QStringLiteral("FormatSet"), QStringLiteral("Format_ID"), kFallbackFormat);
    }
    m_listView->setCurrentRow(row);
}

void QFormatDlg::setDefaultValue(QString id)
{
    const int row = rowOf(id);
    if (row < 0)
        return;
    PhotoConverterInfo stored;
    m_options = Options();
    m_options.keepExif = kFormats[row].exif;
    if (QVideoSettingXml::GetDefaultPtConvertInfo(id, &stored)) {
        m_options.width = stored.width;
        m_options.height = stored.height;
        m_options.quality = stored.quality;
        m_options.allOutput = stored.allOutput;
        m_options.keepExif = stored.keepExif;
        m_options.keepAspectRatio = stored.keepAspectRatio;
    }
}

void QFormatDlg::settingValueChange(bool save)
{
    const int row = currentRow();
    PhotoConverterInfo *info = QConverterOperate::g_converterInfo;
    if (row < 0 || !info)
        return;
    const FormatRow &format = kFormats[row];
    const QString title = QString::fromLatin1(format.title);
    info->format = QString::fromLatin1(format.format);
    info->extension = title.toLower();
    info->codecId = format.codecId;
    info->width = qMax(0, m_options.width);
    info->height = qMax(0, m_options.height);
    info->quality = m_options.quality;
    info->allOutput = m_options.allOutput;
    info->keepExif = m_options.keepExif;
    info->keepAspectRatio = m_options.keepAspectRatio;
    info->supportAnimation = format.animation;
    info->animationSuffix = QString::fromLatin1(format.animationSuffix);
    info->animationFormat = QString::fromLatin1(format.animationFormat);
    info->animationCodecId = format.animationCodecId;
    info->frameFormat = format.frameFormat;
    emit settingChangeForFormat();
    emit sendSuffixChange(title);
    if (save) {
        QVideoSettingXml::SetItemValue(QStringLiteral("FormatSet"), QStringLiteral("Format_ID"), title);
        QVideoSettingXml::SetDefaultPtConvertInfo(title, info);
    }
}

void QFormatDlg::OnBtnOk()
{
    hide();
    settingValueChange(true);
}
