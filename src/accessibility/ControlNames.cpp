#include "ControlNames.h"

#include <QWidget>

namespace senrokan
{

void nameControl(QWidget* control, const QString& controlName, const QString& spokenName)
{
    control->setObjectName(controlName);
    control->setAccessibleDescription(controlName);
    control->setAccessibleName(spokenName);
}

QString arrayElementName(const QString& array, int index)
{
    return QStringLiteral("%1(%2)").arg(array).arg(index);
}

} // namespace senrokan
