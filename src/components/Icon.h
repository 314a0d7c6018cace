#pragma once
#include <memory>

namespace lt {

class IconImage;
// An icon handle as the shell sees it; null for no image.
using HICON = const IconImage*;

// One icon picture. The window layer derives its own kind that carries the
// real image; the core only passes pictures around.
class IconImage {
public:
    virtual ~IconImage() = default;
    // The handle sent to the shell. A picture that cannot become a handle raises.
    virtual HICON Handle() const { return this; }
};

// An icon object that can be empty or hold one picture.
class TIcon {
public:
    // Copies the picture of another icon; nullptr empties this one.
    void Assign(const TIcon* source);
    void SetImage(std::shared_ptr<const IconImage> image) { FImage = std::move(image); }
    const std::shared_ptr<const IconImage>& Image() const { return FImage; }
    bool Empty() const { return !FImage; }
    // Null when empty.
    HICON Handle() const { return FImage ? FImage->Handle() : nullptr; }

private:
    std::shared_ptr<const IconImage> FImage;
};

} // namespace lt
