#include "ui/FileFilter.h"

#include <QFileDialog>

namespace lt {

QStringList nameFilters(const QString& filter)
{
    const QStringList parts = filter.split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = parts[i + 1];
        if (pattern == QStringLiteral("*.*"))
            pattern = QStringLiteral("*");
        filters << parts[i] + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return filters;
}

void setFileFilter(QFileDialog& dialog, const QString& filter)
{
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    // Shows what stands before the appended " (pattern)": the description.
    dialog.setOption(QFileDialog::HideNameFilterDetails);
    dialog.setNameFilters(nameFilters(filter));
}

} // namespace lt
