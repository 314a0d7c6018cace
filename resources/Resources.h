#pragma once

namespace lt {

// Registers the program's built-in files (":/icons/linktrawler.png",
// ":/about/logo.jpg", ":/about/banner.jpg"). They live in a static library,
// whose self-registration the linker may drop, so whoever needs them calls
// this first; calling it again does nothing.
void initResources();

} // namespace lt
