#include "qformatdlg.h"

#include "photoconverterinfo.h"
#include "qbaseimagedraw.h"
#include "qconverteroperate.h"
#include "qformatchunk.h"
#include "qformatlistdelegate.h"
#include "qianyutil.h"
#include "qinitctrlstyle.h"
#include "qvideosettingxml.h"
#include "taborder.h"

#include <QKeyEvent>
#include <QPainter>

#include <cstdint>

namespace {

struct FormatRow
{
    const char *title;
    const char *format;
    uint32_t codecId;
    bool quality;
    bool exif;
    bool animation;
    const char *animationSuffix;
    const char *animationFormat;
    uint32_t animationCodecId;
    int32_t frameFormat;
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
const QString kFallbackFormat = QStringLiteral("JPG");
const QString kFormatItem = QStringLiteral("FormatSet");
const QString kFormatKey = QStringLiteral("Format_ID");
const QColor kLabelColor(53, 53, 53);
const QColor kFieldColor(108, 108, 108);
// Qt's faded default reads at 2:1 on the field; this grey at 4.6:1, still lighter than typed text.
const QColor kPlaceholderColor(117, 117, 117);
constexpr int kLabelRight = 97;

QFormatChunk *newRecord(const FormatRow &row)
{
    auto *record = new QFormatChunk;
    record->SetTitle(row.title);
    record->setImage(QStringLiteral("%1/image/Format/%2.png")
                         .arg(QIAnyUtil::getResourcePath(), QLatin1String(row.title))
                         .toStdString());
    record->setFormat(row.format);
    record->SetID(static_cast<int>(row.codecId));
    record->setSupportQuality(row.quality);
    record->setSupportExif(row.exif);
    record->setSupportAnimation(row.animation);
    record->setAnimationSuffix(row.animationSuffix);
    record->setAnimationFormat(row.animationFormat);
    record->setAnimationCodecId(row.animationCodecId);
    record->setFrameFormat(row.frameFormat);
    return record;
}

void initLabel(QLabel *label, const QString &text)
{
    QInitCtrlStyle::InitFont(label, 13);
    QInitCtrlStyle::InitPalette(label, QPalette::WindowText, kLabelColor);
    label->setText(text);
    label->adjustSize();
}

void initSizeEdit(QZVLineEdit *edit, const QString &placeholder)
{
    QInitCtrlStyle::InitEdit(edit);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Text, kFieldColor);
    edit->setPalette(palette);
    edit->resize(50, 22);
    edit->onlyInputNumber();
    edit->setPlaceholderText(placeholder);
    edit->setPlaceholderTextColor(kPlaceholderColor, false);
}

void initCheckBox(QZVCheckBox *box, const QString &text)
{
    QInitCtrlStyle::InitCheckBox(box);
    box->setText(text);
    box->adjustSize();
}

// Return on a focused button must press nothing, and the dialog must pick no default.
void initButton(QZVBaseButton *button, const QString &text)
{
    button->setText(text);
    button->setAutoDefault(false);
    button->setDefault(false);
}

// The top that centres widget vertically on anchor.
int centredOn(const QWidget *anchor, const QWidget *widget)
{
    return anchor->y() + (anchor->height() - widget->height()) / 2;
}

QString titleOf(const QModelIndex &index)
{
    return QString::fromStdString(static_cast<IBaseChunk *>(index.internalPointer())->GetTitle());
}

// Width and height below 1 mean automatic, shown as the placeholder.
QString editText(int value)
{
    return value < 1 ? QString() : QString::number(value);
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
    : QZVDialogEx(parent)
    , m_records(new std::vector<IBaseChunk *>)
{
    setupUi(this);
    InitFrame();
    InitCtrl();
    InitRecords();
    InitListView();
    InitConnect();
    TabOrder::chain({m_listView, m_editW, m_editH, m_chkKeepAspectRatio, m_sliderQuality, m_spinboxQuality,
                     m_btnCancel, m_btnOk});
}

QFormatDlg::~QFormatDlg()
{
    // The view goes first and takes the delegate with it, so nothing paints a freed record.
    delete m_listView;
    m_listView = nullptr;
    ReleaseDatas();
    delete m_records;
}

void QFormatDlg::InitFrame()
{
    QInitCtrlStyle::InitBg1(this);
    setWindowTitle(tr("Format Setting"));
    setDlgTitle(tr("Format Setting"));
    setFixedSize(516, 434);
    installEventFilter(this);
    const QString resources = QIAnyUtil::getResourcePath();
    addCloseBtn(resources + QStringLiteral("/image/btn_close.png"), true);
    addMinBtn(resources + QStringLiteral("/image/btn_min.png"), true);
    addMaxBtn(resources + QStringLiteral("/image/btn_max.png"), true);
    for (QZVBaseButton *button : {m_btnTitleClose, m_btnTitleMin, m_btnTitleMax})
        button->setAutoDefault(false);
    connect(m_btnTitleClose, &QPushButton::clicked, this, &QFormatDlg::OnBtnCancel);
}

void QFormatDlg::InitCtrl()
{
    initSizeEdit(m_editW, tr("Auto"));
    initSizeEdit(m_editH, tr("Auto"));
    initLabel(m_labX, QStringLiteral("x"));
    initLabel(m_labResolution, tr("Resolution:"));
    initLabel(m_labQuality, tr("Quality:"));
    for (QLabel *label : {m_labResolution, m_labQuality})
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    QInitCtrlStyle::InitSpinbox(m_spinboxQuality);
    QInitCtrlStyle::InitPalette(m_spinboxQuality, QPalette::Text, kFieldColor);
    m_spinboxQuality->resize(50, 22);
    m_spinboxQuality->setRange(1, 100);
    m_sliderQuality->setRange(1.0, 100.0);
    QInitCtrlStyle::InitZVSlider(m_sliderQuality);
    m_sliderQuality->setBtnOffset(3);
    m_sliderQuality->resize(75, 20);
    QInitCtrlStyle::InitZVButton1(m_btnOk, 80, 24);
    QInitCtrlStyle::InitZVButton(m_btnCancel, 80, 24);
    initButton(m_btnOk, tr("OK"));
    initButton(m_btnCancel, tr("Cancel"));
    // Never shown, yet loaded, applied and stored with the format.
    initCheckBox(m_chkAllOutput, tr("Output all images"));
    m_chkAllOutput->hide();
    initCheckBox(m_chkKeepExif, tr("Keep Exif information"));
    m_chkKeepExif->hide();
    m_chkKeepExif->resize(200, 16);
    initCheckBox(m_chkKeepAspectRatio, tr("Keep aspect ratio"));
}

void QFormatDlg::InitRecords()
{
    for (const FormatRow &row : kFormats) {
        QFormatChunk *record = newRecord(row);
        m_records->push_back(record);
        m_formatMap.insert(QString::fromLatin1(row.title), record);
    }
}

void QFormatDlg::InitListView()
{
    m_listView->setStyleSheet(QStringLiteral("QListView{background:%1;}").arg(QColor(255, 255, 255).name()));
    m_listView->setAttribute(Qt::WA_MacShowFocusRect, false);
    m_listView->setSelectionMode(QAbstractItemView::SingleSelection);
    m_listView->setResizeMode(QListView::Adjust);
    m_listView->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_listView->setGridSize(QSize(166, 116));
    m_listView->setModel(&m_model);
    m_listView->setSourceModel(&m_model);
    m_model.setDatas(m_records);
    m_model.setItemBgColor(QColor(242, 242, 242), QColor(242, 242, 242));
    m_model.setItemTextColor(QColor(68, 68, 68), QColor(68, 68, 68));
    // The rule grey: a lighter hover is not told apart from the tile.
    m_model.setHoverBgColor(QColor(231, 231, 231), QColor(68, 68, 68));
    m_model.setItemSize(160, 110);

    m_delegate = new QFormatListDelegate(m_listView);
    QFont font = m_listView->font();
    font.setFamily(QStringLiteral("Tahoma"));
    font.setItalic(true);
    font.setWeight(QFont::Bold);
    font.setPixelSize(28);
    m_delegate->setFont(font);
    m_delegate->setDrawTextMargins(1, 20, 1, 60);
    m_delegate->setImageMargins(60, 55, 60, 15);
    m_delegate->setSelectedBackgroundColor(QColor(255, 218, 43));
    m_delegate->setSelectTextColor(QColor(68, 68, 68));
    m_listView->setItemDelegate(m_delegate);
    m_listView->setStyleDelegate(m_delegate);
}

void QFormatDlg::InitConnect()
{
    connect(m_btnOk, &QPushButton::clicked, this, &QFormatDlg::OnBtnOk);
    connect(m_btnCancel, &QPushButton::clicked, this, &QFormatDlg::OnBtnCancel);
    connect(m_spinboxQuality, qOverload<int>(&QSpinBox::valueChanged), this,
            qOverload<int>(&QFormatDlg::QualityValueChange));
    connect(m_sliderQuality, &QZVBaseSlider::sendProgressValue, this,
            qOverload<double>(&QFormatDlg::QualityValueChange));
    connect(m_editW, &QLineEdit::textChanged, this, &QFormatDlg::EditTextChange);
    connect(m_editH, &QLineEdit::textChanged, this, &QFormatDlg::EditTextChange);
    connect(m_listView, &QZVListView::emitCurrentChanged, this, &QFormatDlg::selectItemChange);
    connect(m_listView, &QAbstractItemView::doubleClicked, this, &QFormatDlg::doubleClickItemView);
}

void QFormatDlg::ReleaseDatas()
{
    // The model forgets every row before a record goes.
    m_model.setDatas(nullptr);
    m_formatMap.clear();
    qDeleteAll(*m_records);
    m_records->clear();
    m_model.setDatas(m_records);
}

QFormatChunk *QFormatDlg::currentRecord() const
{
    const QModelIndex current = m_listView->currentIndex();
    return current.isValid() ? static_cast<QFormatChunk *>(current.internalPointer()) : nullptr;
}

void QFormatDlg::setFormatId(QString id)
{
    // A stored name that no longer names a format would give outputs without an extension.
    if (!m_formatMap.contains(id)) {
        id = kFallbackFormat;
        QVideoSettingXml::SetItemValue(kFormatItem, kFormatKey, id);
    }
    for (int row = 0; row < m_model.rowCount(); ++row) {
        const QModelIndex index = m_model.index(row, 0);
        if (titleOf(index) == id)
            m_listView->setCurrentIndex(index);
    }
}

void QFormatDlg::setDefaultValue(QString id)
{
    const QFormatChunk *record = m_formatMap.value(id);
    if (!record)
        return;
    PhotoConverterInfo stored;
    if (!QVideoSettingXml::GetDefaultPtConvertInfo(id, &stored)) {
        stored.width = 0;
        stored.height = 0;
        stored.quality = 100;
        stored.allOutput = false;
        stored.keepExif = record->getSupportExif();
        stored.keepAspectRatio = true;
    }
    m_sliderQuality->setEnabled(record->getSupportQuality());
    m_spinboxQuality->setEnabled(record->getSupportQuality());
    m_editW->setText(editText(stored.width));
    m_editH->setText(editText(stored.height));
    m_sliderQuality->setValue(stored.quality);
    m_spinboxQuality->setValue(stored.quality);
    m_chkAllOutput->setChecked(stored.allOutput);
    m_chkKeepExif->setEnabled(record->getSupportExif());
    m_chkKeepExif->setChecked(stored.keepExif);
    m_chkKeepAspectRatio->setChecked(stored.keepAspectRatio);
}

void QFormatDlg::settingValueChange(bool save)
{
    QFormatChunk *record = currentRecord();
    PhotoConverterInfo *info = QConverterOperate::g_converterInfo;
    if (!record || !info)
        return;
    const QString title = QString::fromStdString(record->GetTitle());
    info->format = QString::fromStdString(record->getFormat());
    info->extension = title.toLower();
    info->codecId = static_cast<uint32_t>(record->GetID());
    info->width = m_editW->text().toInt();
    info->height = m_editH->text().toInt();
    info->quality = static_cast<int>(m_sliderQuality->value());
    info->allOutput = m_chkAllOutput->isChecked();
    info->keepExif = m_chkKeepExif->isChecked();
    info->keepAspectRatio = m_chkKeepAspectRatio->isChecked();
    info->supportAnimation = record->getSupportAnimation();
    info->animationSuffix = QString::fromStdString(record->getAnimationSuffix());
    info->animationFormat = QString::fromStdString(record->getAnimationFormat());
    info->animationCodecId = record->getAnimationCodecId();
    info->frameFormat = record->getFrameFormat();
    emit settingChangeForFormat();
    emit sendSuffixChange(title);
    if (save) {
        QVideoSettingXml::SetItemValue(kFormatItem, kFormatKey, title);
        QVideoSettingXml::SetDefaultPtConvertInfo(title, info);
    }
}

void QFormatDlg::selectItemChange(const QModelIndex &index)
{
    if (index.isValid())
        setDefaultValue(titleOf(index));
}

void QFormatDlg::doubleClickItemView(const QModelIndex &index)
{
    if (index.isValid())
        OnBtnOk();
}

// Hiding ends the modal run; the apply still happens before the caller's exec() returns.
void QFormatDlg::OnBtnOk()
{
    hide();
    settingValueChange(true);
}

void QFormatDlg::OnBtnCancel()
{
    hide();
}

void QFormatDlg::QualityValueChange(int value)
{
    m_spinboxQuality->setValue(value);
    m_sliderQuality->setValue(value);
}

// The slider's own value is not used: the spin box clamps the fraction's percentage and
// both follow it.
void QFormatDlg::QualityValueChange(double fraction)
{
    QualityValueChange(static_cast<int>(fraction * 100));
}

void QFormatDlg::EditTextChange(const QString &text)
{
    auto *edit = qobject_cast<QLineEdit *>(sender());
    if (edit && text.size() > 5)
        edit->setText(text.left(5));
}

bool QFormatDlg::eventFilter(QObject *watched, QEvent *event)
{
    return QZVDialogEx::eventFilter(watched, event);
}

// Escape does what Cancel does; Return must not press a default button.
void QFormatDlg::keyPressEvent(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        event->accept();
        OnBtnCancel();
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        event->accept();
        break;
    default:
        QZVDialogEx::keyPressEvent(event);
    }
}

void QFormatDlg::paintEvent(QPaintEvent *event)
{
    QZVDialogEx::paintEvent(event);
    const QRect box = m_chkKeepAspectRatio->geometry();
    QPainter painter(this);
    painter.setPen(QColor(212, 212, 212));
    painter.setBrush(Qt::NoBrush);
    painter.drawPath(QBaseImageDraw::GetRoundedRectanglePath(box.x() - 30, box.y() - 20, box.width() + 100,
                                                            box.height() + 40, 2));
}

void QFormatDlg::resetControlLocation()
{
    const int W = width();
    const int H = height();
    m_listView->setGeometry(8, 45, W - 16, 230);
    const int listBottom = m_listView->geometry().bottom();
    m_labResolution->move(kLabelRight + 1 - m_labResolution->width(), listBottom + 20);
    m_editW->move(m_labResolution->geometry().right() + 10, centredOn(m_labResolution, m_editW));
    m_labX->move(m_editW->geometry().right() + 8, centredOn(m_editW, m_labX));
    m_editH->move(m_labX->geometry().right() + 8, m_editW->y());
    m_labQuality->move(kLabelRight + 1 - m_labQuality->width(), m_labResolution->geometry().bottom() + 20);
    m_sliderQuality->move(m_labQuality->geometry().right() + 3, centredOn(m_labQuality, m_sliderQuality));
    m_spinboxQuality->move(m_editH->x(), centredOn(m_labQuality, m_spinboxQuality));
    m_chkAllOutput->move(m_editH->geometry().right() + 70, listBottom + 15);
    m_chkKeepAspectRatio->move(m_chkAllOutput->x(), m_chkAllOutput->geometry().bottom() + 7);
    m_chkKeepExif->move(m_chkKeepAspectRatio->x(), m_chkKeepAspectRatio->geometry().bottom() + 7);
    // Both buttons are centred in the bottom band of 50.
    m_btnOk->move(W - 28 - m_btnOk->width(), H - 58 + (50 - m_btnOk->height()) / 2);
    m_btnCancel->move(W - 44 - m_btnCancel->width() - m_btnOk->width(),
                      H - 58 + (50 - m_btnCancel->height()) / 2);
}
