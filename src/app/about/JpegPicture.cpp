#include "app/about/JpegPicture.h"

#include "base/Error.h"

#include <QFile>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>

namespace lt {

namespace {

// libjpeg's own error exit ends the process; this one jumps back instead.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void errorExit(j_common_ptr info)
{
    auto* err = reinterpret_cast<ErrorManager*>(info->err);
    (*info->err->format_message)(info, err->message);
    std::longjmp(err->jump, 1);
}

void silence(j_common_ptr, int) {}

// Everything that must survive a longjmp lives outside the function that
// calls setjmp; the result is filled in place.
bool decodeInto(const QByteArray& data, QImage& image, ErrorManager& err, jpeg_decompress_struct& info)
{
    info.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = errorExit;
    err.pub.emit_message = silence;
    if (setjmp(err.jump)) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    jpeg_start_decompress(&info);

    image = QImage(static_cast<int>(info.output_width), static_cast<int>(info.output_height),
                   QImage::Format_RGB32);
    if (image.isNull()) {
        jpeg_destroy_decompress(&info);
        return false;
    }
    // libjpeg's own pool: freed by jpeg_destroy_decompress, even after a jump.
    JSAMPARRAY row = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE,
                                               info.output_width * static_cast<JDIMENSION>(info.output_components), 1);
    while (info.output_scanline < info.output_height) {
        const int y = static_cast<int>(info.output_scanline);
        jpeg_read_scanlines(&info, row, 1);
        auto* out = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (JDIMENSION x = 0; x < info.output_width; ++x) {
            const JSAMPLE* px = row[0] + x * static_cast<JDIMENSION>(info.output_components);
            if (cmyk) {
                // Adobe's files store CMYK inverted: the value is already 255 - ink.
                const int k = px[3];
                out[x] = qRgb(px[0] * k / 255, px[1] * k / 255, px[2] * k / 255);
            } else {
                out[x] = qRgb(px[0], px[1], px[2]);
            }
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

} // namespace

QImage decodeJpeg(const QByteArray& data)
{
    QImage image;
    ErrorManager err{};
    jpeg_decompress_struct info{};
    if (data.isEmpty() || !decodeInto(data, image, err, info))
        throw Error(std::string("Invalid JPEG picture: ") + (data.isEmpty() ? "no data" : err.message));
    return image;
}

QImage loadJpeg(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw Error("Cannot open file " + fileName.toStdString());
    try {
        return decodeJpeg(file.readAll());
    } catch (const Error& e) {
        throw Error(std::string(e.what()) + " (" + fileName.toStdString() + ")");
    }
}

} // namespace lt
