#include "ui/window/appicon.h"

QIcon appIcon()
{
    static const QIcon icon(QStringLiteral(":/icons/app_icon.ico"));
    return icon;
}
