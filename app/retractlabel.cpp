#include "retractlabel.h"

#include <algorithm>

#include <QEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRegularExpression>

namespace {

const QString kEllipsis = QStringLiteral("...");

// Characters a file name may not hold.
bool hasForbiddenCharacter(const QString &text)
{
    static const QRegularExpression forbidden(QStringLiteral("[/:*\"<>|?]"));
    return text.contains(forbidden) || text.contains(QLatin1Char('\\'));
}

} // namespace

RetractLabel::RetractLabel(QWidget *parent)
    : QLabel(parent)
{
    installEventFilter(this);
}

RetractLabel::~RetractLabel()
{
    delete m_editName;
}

bool RetractLabel::fits(const QString &text, int *width) const
{
    const QRect bounds = QFontMetrics(font()).boundingRect(QRect(0, 0, this->width(), 0),
                                                           Qt::TextWrapAnywhere, text);
    *width = bounds.width();
    return bounds.height() <= height();
}

void RetractLabel::setText(const QString &name)
{
    m_strName = name;
    QFont labelFont(QStringLiteral("Tahoma"));
    labelFont.setPixelSize(m_nPixelSize);
    setFont(labelFont);
    if (height() < 1 || QFontMetrics(labelFont).height() > height())
        return;

    int width = 0;
    if (fits(name, &width)) {
        QLabel::setText(name);
        setToolTip(QString());
        m_nTextWidth = width;
        return;
    }
    // Ends at "..." alone at the latest, even when that does not fit either.
    QString shown;
    for (int n = 1; n <= name.size(); ++n) {
        shown = name.left(name.size() - n) + kEllipsis;
        if (fits(shown, &width))
            break;
    }
    QLabel::setText(shown);
    setToolTip(name);
    m_nTextWidth = width;
}

QString RetractLabel::getName() const
{
    return m_strName;
}

int RetractLabel::getTextWidth() const
{
    return m_nTextWidth;
}

void RetractLabel::setPixelSize(int pixelSize)
{
    m_nPixelSize = pixelSize;
}

void RetractLabel::setIgnoreExten(bool ignore)
{
    m_bIgnoreExten = ignore;
}

QString RetractLabel::editableName() const
{
    if (!m_bIgnoreExten)
        return m_strName;
    const int dot = m_strName.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? m_strName : m_strName.left(dot);
}

void RetractLabel::setCanEditText(bool)
{
    // The label is only as tall as its text; the editor needs room for its frame, so it
    // lies over the label in the label's parent, where it is not cut to the label's height.
    QWidget *host = parentWidget() ? parentWidget() : this;
    if (!m_editName) {
        m_editName = new QLineEdit(host);
        m_editName->setAcceptDrops(false);
        m_editName->installEventFilter(this);
        connect(m_editName, &QLineEdit::returnPressed, this, &RetractLabel::RenameOK);
        connect(m_editName, &QLineEdit::editingFinished, this, &RetractLabel::RenameOK);
        connect(m_editName, &QLineEdit::textChanged, this, &RetractLabel::NameChange);
    }
    m_strLastName = editableName();
    m_editName->setFont(font());
    m_editName->setText(m_strLastName);
    placeEditor();
    m_editName->show();
    m_editName->raise();
    m_editName->selectAll();
    m_editName->setFocus(Qt::OtherFocusReason);
}

// The whole width: an editor as narrow as the text scrolls its first letter away. It
// follows the label, which the row widens when its rename button hides.
void RetractLabel::placeEditor()
{
    const int editorHeight = std::max(height(), m_editName->sizeHint().height());
    const QPoint origin = m_editName->parentWidget() == this ? QPoint() : pos();
    m_editName->setGeometry(origin.x(), origin.y() + (height() - editorHeight) / 2, width(), editorHeight);
}

// Escape keeps the name: the focus leaving the hidden editor must not commit it.
void RetractLabel::cancelRename()
{
    const QSignalBlocker quiet(m_editName);
    m_editName->hide();
}

void RetractLabel::NameChange(const QString &text)
{
    if (hasForbiddenCharacter(text))
        m_editName->setText(m_strLastName);
    else
        m_strLastName = text;
}

void RetractLabel::RenameOK()
{
    m_editName->hide();
    const QString edited = m_editName->text();
    if (m_bIgnoreExten) {
        if (edited == editableName())
            return;
        const int dot = m_strName.lastIndexOf(QLatin1Char('.'));
        m_strName = edited + (dot < 0 ? QString() : m_strName.mid(dot));
    } else {
        m_strName = edited;
    }
    emit emitChangeName();
}

bool RetractLabel::eventFilter(QObject *watched, QEvent *event)
{
    // The type first: the editor's own destructor sends it events, and by then it is no
    // longer a QLineEdit to compare with.
    if (event->type() == QEvent::KeyPress && watched == m_editName
        && static_cast<QKeyEvent *>(event)->key() == Qt::Key_Escape) {
        cancelRename();
        return true;
    }
    if (watched == this && m_editName && m_editName->isVisible()
        && (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        placeEditor();
    if (watched != this || event->type() != QEvent::WindowDeactivate)
        return false;
    if (m_editName)
        m_editName->hide();
    return true;
}
