#include "ui/ErrorGuard.h"

#include "ui/Boxes.h"
#include "ui/FileNames.h"

#include <QString>
#include <exception>

namespace lt {

void guarded(QWidget* parent, const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        // A message can carry a file name that is not UTF-8.
        errorBox(parent, readableFileName(e.what()));
    } catch (...) {
        errorBox(parent, QStringLiteral("Unknown error"));
    }
}

} // namespace lt
