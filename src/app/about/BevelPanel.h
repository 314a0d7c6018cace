#pragma once
#include <QWidget>

namespace lt {

// A panel framed by a lowered outer and a raised inner bevel, one pixel
// each, in the window's colour.
class BevelPanel : public QWidget {
public:
    explicit BevelPanel(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace lt
