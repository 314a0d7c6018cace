#pragma once
#include <QByteArray>
#include <QImage>
#include <QString>

namespace lt {

// JPEG pictures decoded with libjpeg (grey, RGB and CMYK files). A file that
// cannot be read or decoded raises lt::Error naming it.
QImage decodeJpeg(const QByteArray& data);
QImage loadJpeg(const QString& fileName);

} // namespace lt
