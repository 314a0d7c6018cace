#pragma once
#include "components/Icon.h"

#include <QIcon>
#include <memory>

namespace lt {

// An icon picture carrying a QIcon; the tray shell turns handles of this
// kind back into the QIcon it shows.
class QtIconImage : public IconImage {
public:
    explicit QtIconImage(QIcon icon) : FIcon(std::move(icon)) {}
    const QIcon& qIcon() const { return FIcon; }
    // A null QIcon has no picture to show, so it makes no handle.
    HICON Handle() const override;

private:
    QIcon FIcon;
};

// The picture of an icon object, for the shell; a null QIcon for none or a
// foreign picture.
QIcon toQIcon(HICON handle);
std::shared_ptr<const IconImage> iconImage(const QIcon& icon);

} // namespace lt
