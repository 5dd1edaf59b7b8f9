#include "skinfont.h"

#include <QFont>

void SkinFont::installSubstitutes()
{
    QFont::insertSubstitution(QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans Condensed"));
}
