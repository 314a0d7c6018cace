#include "components/Icon.h"

namespace lt {

void TIcon::Assign(const TIcon* source)
{
    FImage = source ? source->FImage : nullptr;
}

} // namespace lt
