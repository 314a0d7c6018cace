#include "components/QtIconImage.h"

#include "base/Error.h"

namespace lt {

HICON QtIconImage::Handle() const
{
    if (FIcon.isNull())
        throw Error("Icon image has no picture");
    return this;
}

QIcon toQIcon(HICON handle)
{
    const auto* image = dynamic_cast<const QtIconImage*>(handle);
    return image ? image->qIcon() : QIcon();
}

std::shared_ptr<const IconImage> iconImage(const QIcon& icon)
{
    return std::make_shared<QtIconImage>(icon);
}

} // namespace lt
