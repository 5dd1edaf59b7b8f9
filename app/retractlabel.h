#pragma once

#include <QLabel>
#include <QPointer>

class QLineEdit;

// A label that shows a name cut with "..." to fit it, the whole name as tool tip, and
// that turns into an inline editor over itself to rename the name.
class RetractLabel : public QLabel
{
    Q_OBJECT

public:
    explicit RetractLabel(QWidget *parent = nullptr);
    ~RetractLabel() override;

    // Hides QLabel::setText: call it through a RetractLabel pointer.
    void setText(const QString &name);
    QString getName() const;
    int getTextWidth() const;
    void setPixelSize(int pixelSize);
    void setIgnoreExten(bool ignore);
    void setCanEditText(bool editable);

signals:
    void emitChangeName();

public slots:
    void RenameOK();
    void NameChange(const QString &text);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool fits(const QString &text, int *width) const;
    QString editableName() const;
    void placeEditor();
    void cancelRename();

    QString m_strName;
    QPointer<QLineEdit> m_editName; // the parent may delete it first
    QString m_strLastName;
    int m_nPixelSize = 13;
    int m_nTextWidth = -1;
    bool m_bIgnoreExten = true;
};
