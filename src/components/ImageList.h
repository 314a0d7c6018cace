#pragma once
#include "components/Component.h"
#include "components/Icon.h"

#include <memory>
#include <vector>

namespace lt {

class TCustomImageList : public TComponent {
public:
    using TComponent::TComponent;
    // Puts the picture at the index into the icon; an index the list does
    // not hold leaves the icon empty.
    virtual void GetIcon(int Index, TIcon& Image) const = 0;
};

class TImageList : public TCustomImageList {
public:
    using TCustomImageList::TCustomImageList;
    void Add(std::shared_ptr<const IconImage> image) { FImages.push_back(std::move(image)); }
    int Count() const { return static_cast<int>(FImages.size()); }
    void GetIcon(int Index, TIcon& Image) const override;

private:
    std::vector<std::shared_ptr<const IconImage>> FImages;
};

} // namespace lt
