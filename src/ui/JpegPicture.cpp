#include "ui/JpegPicture.h"

#include <csetjmp>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include <jpeglib.h>

namespace tarnwake::ui {

namespace {

// libjpeg reports a fatal error by calling error_exit, which must not return: it jumps back
// to the decoder, which gives up on the picture.
struct TJpegErrors {
    jpeg_error_mgr manager;
    std::jmp_buf escape;
};

[[noreturn]] void ErrorExit(j_common_ptr info) {
    std::longjmp(reinterpret_cast<TJpegErrors*>(info->err)->escape, 1);
}

void NoMessage(j_common_ptr) {}

} // namespace

bool LooksLikeJpeg(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    unsigned char start[3] = {};
    return in.read(reinterpret_cast<char*>(start), sizeof start) && start[0] == 0xFF &&
           start[1] == 0xD8 && start[2] == 0xFF;
}

QImage DecodeJpeg(const std::filesystem::path& file, std::int64_t maxFileBytes,
                  std::int64_t maxPixels) {
    std::error_code ec;
    const auto bytes = std::filesystem::file_size(file, ec);
    if (ec || bytes == 0 || static_cast<std::int64_t>(bytes) > maxFileBytes) {
        return {};
    }
    std::ifstream in(file, std::ios::binary);
    std::vector<unsigned char> data((std::istreambuf_iterator<char>(in)),
                                    std::istreambuf_iterator<char>());
    if (data.size() != bytes) {
        return {};
    }

    // The decoder's state lives on the heap, reached through a pointer set before the error
    // jump is armed: what the jump leaves behind is then in memory, never in a register.
    struct TDecode {
        jpeg_decompress_struct info{};
        TJpegErrors errors{};
        QImage image;
        std::vector<unsigned char> row;
    };
    const auto d = std::make_unique<TDecode>();
    d->info.err = jpeg_std_error(&d->errors.manager);
    d->errors.manager.error_exit = ErrorExit;
    d->errors.manager.output_message = NoMessage;
    if (setjmp(d->errors.escape) != 0) {
        jpeg_destroy_decompress(&d->info);
        return {};
    }
    jpeg_create_decompress(&d->info);
    jpeg_mem_src(&d->info, data.data(), static_cast<unsigned long>(data.size()));
    if (jpeg_read_header(&d->info, TRUE) != JPEG_HEADER_OK ||
        static_cast<std::int64_t>(d->info.image_width) * d->info.image_height > maxPixels) {
        jpeg_destroy_decompress(&d->info);
        return {};
    }
    d->info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d->info);
    d->image = QImage(static_cast<int>(d->info.output_width),
                      static_cast<int>(d->info.output_height), QImage::Format_RGB888);
    d->row.resize(static_cast<std::size_t>(d->info.output_width) * 3);
    while (d->info.output_scanline < d->info.output_height && !d->image.isNull()) {
        unsigned char* line = d->row.data();
        const int y = static_cast<int>(d->info.output_scanline);
        if (jpeg_read_scanlines(&d->info, &line, 1) != 1) {
            break;
        }
        std::copy(d->row.begin(), d->row.end(), d->image.scanLine(y));
    }
    if (d->info.output_scanline != d->info.output_height) {
        jpeg_destroy_decompress(&d->info);
        return {};
    }
    jpeg_finish_decompress(&d->info);
    jpeg_destroy_decompress(&d->info);
    return d->image;
}

} // namespace tarnwake::ui
