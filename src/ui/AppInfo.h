#pragma once

namespace lt {

// Application title (caption of the plain message box and the error box).
inline constexpr const char* kApplicationTitle = "『拾链宝 』V2.3";
// Main window caption and tray hint carry the newer version.
inline constexpr const char* kProductCaption = "『拾链宝 』V2.5";
inline constexpr const char* kMakerLine = "主页: http://www.example.com  电话: 000-00000000";
inline constexpr const char* kHomePage = "http://www.example.com/";
inline constexpr const char* kSecondPage = "http://www.example.org/linktrawler/";
inline constexpr const char* kSecondPageCaption = "http://www.example.org";
inline constexpr const char* kContactMail = "mailto:linktrawler@example.com";
inline constexpr const char* kContactLine = "QQ:00000000  TEL:000-00000000";
inline constexpr const char* kStatusContact = "联系: linktrawler@example.com";

} // namespace lt
