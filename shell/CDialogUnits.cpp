#include "shell/CDialogUnits.h"

#include <QFontMetrics>
#include <QWidget>

CDialogUnits::CDialogUnits(const QWidget& dialog)
{
    const QFontMetrics metrics(dialog.font());
    const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    baseX = qMax(1, (metrics.horizontalAdvance(alphabet) / 26 + 1) / 2);
    baseY = qMax(1, metrics.height());
}

QRect CDialogUnits::ToPixels(int left, int top, int width, int height) const
{
    return QRect(left * baseX / 4, top * baseY / 8, width * baseX / 4, height * baseY / 8);
}

QSize CDialogUnits::ToPixels(int width, int height) const
{
    return QSize(width * baseX / 4, height * baseY / 8);
}

void CDialogUnits::Place(QWidget* widget, int left, int top, int width, int height) const
{
    widget->setGeometry(ToPixels(left, top, width, height));
}
