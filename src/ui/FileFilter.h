#pragma once
#include <QString>
#include <QStringList>

class QFileDialog;

namespace lt {

// A file dialog's filter list, written as "description|pattern|..." pairs.
// The user sees each description exactly as written. A pattern "*.*" means
// every file, names without a dot included (as it does where these filters
// were first written); Qt's "*.*" would hide such names, so it becomes "*".

// Qt's name filters for the pairs: "description (pattern)".
QStringList nameFilters(const QString& filter);

// Gives the dialog the filters. The dialog is Qt's own, not the desktop's:
// that one would show the patterns its own way, and speak another language
// than the program.
void setFileFilter(QFileDialog& dialog, const QString& filter);

} // namespace lt
