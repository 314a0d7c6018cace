#include "components/ImageList.h"

namespace lt {

void TImageList::GetIcon(int Index, TIcon& Image) const
{
    if (Index >= 0 && Index < Count())
        Image.SetImage(FImages[static_cast<std::size_t>(Index)]);
    else
        Image.Assign(nullptr);
}

} // namespace lt
