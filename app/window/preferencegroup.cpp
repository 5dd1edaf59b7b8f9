#include "preferencegroup.h"

#include "qinitctrlstyle.h"

#include <QGroupBox>

void stylePreferenceGroup(QGroupBox *group)
{
    const QColor text(53, 53, 53);
    QInitCtrlStyle::InitPalette(group, QPalette::WindowText, text);
    QInitCtrlStyle::InitFont(group, 12);
    QFont font = group->font();
    font.setWeight(QFont::Normal);
    group->setFont(font);
    group->setStyleSheet(
        QStringLiteral("QGroupBox{border:1px solid %1; border-radius:5px;margin-top:2ex;}"
                       "QGroupBox::title {color: %2;subcontrol-origin: margin;subcontrol-position: top left;"
                       "left:%3px;padding:0px;}")
            .arg(QColor(214, 214, 214).name(), text.name())
            .arg(5));
}
