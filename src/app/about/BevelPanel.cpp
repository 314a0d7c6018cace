#include "app/about/BevelPanel.h"

#include <QPainter>
#include <qdrawutil.h>

namespace lt {

BevelPanel::BevelPanel(QWidget* parent) : QWidget(parent)
{
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
}

void BevelPanel::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    const QRect outer = rect();
    qDrawShadePanel(&p, outer, palette(), true, 1);
    qDrawShadePanel(&p, outer.adjusted(1, 1, -1, -1), palette(), false, 1);
}

} // namespace lt
