#include "app/splash/JpegCodec.h"

// jpeglib.h needs size_t and FILE declared first.
#include <jpeglib.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

namespace cq::app {
namespace {

// An error manager that jumps back to the caller instead of exiting.
struct JumpingErrors {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void JumpOnError(j_common_ptr info) {
    auto* errors = reinterpret_cast<JumpingErrors*>(info->err);
    std::longjmp(errors->jump, 1);
}

// Warnings (such as a truncated file) are not failures; the picture decodes
// as far as the data goes.
void IgnoreMessage(j_common_ptr) {}

void InstallErrors(jpeg_common_struct* info, JumpingErrors& errors) {
    info->err = jpeg_std_error(&errors.manager);
    errors.manager.error_exit = JumpOnError;
    errors.manager.output_message = IgnoreMessage;
}

// Runs the decompression; kept free of C++ objects with destructors, since
// longjmp would skip them.
bool Decompress(jpeg_decompress_struct& info, JumpingErrors& errors, const QByteArray& data,
                QImage& image) {
    if (setjmp(errors.jump) != 0) {
        return false;
    }
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.constData()),
                 static_cast<unsigned long>(data.size()));
    if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3) {
        return false;
    }
    image = QImage(int(info.output_width), int(info.output_height), QImage::Format_RGB888);
    if (image.isNull()) {
        return false;
    }
    while (info.output_scanline < info.output_height) {
        JSAMPROW row = image.scanLine(int(info.output_scanline));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    return true;
}

bool Compress(jpeg_compress_struct& info, JumpingErrors& errors, const QImage& rgb, int quality,
              unsigned char** buffer, unsigned long* size) {
    if (setjmp(errors.jump) != 0) {
        return false;
    }
    jpeg_mem_dest(&info, buffer, size);
    info.image_width = JDIMENSION(rgb.width());
    info.image_height = JDIMENSION(rgb.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto row = const_cast<JSAMPROW>(rgb.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    return true;
}

}  // namespace

QImage DecodeJpeg(const QByteArray& data) {
    if (data.isEmpty()) {
        return {};
    }
    jpeg_decompress_struct info{};
    JumpingErrors errors{};
    InstallErrors(reinterpret_cast<jpeg_common_struct*>(&info), errors);
    jpeg_create_decompress(&info);
    QImage image;
    const bool ok = Decompress(info, errors, data, image);
    jpeg_destroy_decompress(&info);
    return ok ? image : QImage();
}

QByteArray EncodeJpeg(const QImage& image, int quality) {
    if (image.isNull()) {
        return {};
    }
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct info{};
    JumpingErrors errors{};
    InstallErrors(reinterpret_cast<jpeg_common_struct*>(&info), errors);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool ok = Compress(info, errors, rgb, qBound(1, quality, 100), &buffer, &size);
    jpeg_destroy_compress(&info);
    QByteArray out;
    if (ok && buffer != nullptr) {
        out = QByteArray(reinterpret_cast<const char*>(buffer), int(size));
    }
    std::free(buffer);
    return out;
}

}  // namespace cq::app
