#include "ui/ErrorGuard.h"

#include "ui/Boxes.h"

#include <QString>
#include <exception>

namespace lt {

void guarded(QWidget* parent, const std::function<void()>& handler)
{
    try {
        handler();
    } catch (const std::exception& e) {
        errorBox(parent, QString::fromUtf8(e.what()));
    } catch (...) {
        errorBox(parent, QStringLiteral("Unknown error"));
    }
}

} // namespace lt
