// Any bytes as a PNG, JPEG or GIF file, read by the picture check and by Debian's reference
// decoders (libpng, libjpeg-turbo, giflib): wherever the check passes a file and a decoder
// reads it, they agree on its size, its frames and its scans. A decoder that stops with an
// error decodes nothing, which the menu shows as a missing picture.
#include <gif_lib.h>
#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>

#include <jpeglib.h>

#include "Require.h"
#include "pictures/PictureCheck.h"

namespace {

struct JpegError {
    jpeg_error_mgr manager;
    std::jmp_buf jump;
};

void JpegExit(j_common_ptr info) {
    std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}

void JpegQuiet(j_common_ptr, int) {}

struct JpegRead {
    bool header = false;   // the headers up to the first scan read
    bool complete = false; // every scan read, up to the end-of-image marker
    JDIMENSION width = 0, height = 0;
    int components = 0, scans = 0;
    bool progressive = false;
};

// Reads the headers and, with `scans`, every scan's data into the coefficients.
void ReadJpeg(const std::string& bytes, bool scans, JpegRead& read) {
    jpeg_decompress_struct info{};
    JpegError error{};
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JpegExit;
    error.manager.emit_message = JpegQuiet;
    jpeg_create_decompress(&info);
    if (setjmp(error.jump) == 0) {
        jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()),
                     static_cast<unsigned long>(bytes.size()));
        if (jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK) {
            read.header = true;
            read.width = info.image_width;
            read.height = info.image_height;
            read.components = info.num_components;
            read.progressive = info.progressive_mode != 0;
            if (scans) {
                info.buffered_image = TRUE;
                jpeg_start_decompress(&info);
                int status = 0;
                while ((status = jpeg_consume_input(&info)) != JPEG_REACHED_EOI &&
                       status != JPEG_SUSPENDED) {
                }
                read.complete = status == JPEG_REACHED_EOI;
                read.scans = info.input_scan_number;
            }
        }
    }
    jpeg_destroy_decompress(&info);
}

void CompareJpeg(const std::string& file, const PictureCheck& check) {
    JpegRead header;
    ReadJpeg(file, false, header);
    if (!header.header) {
        return;
    }
    Require(header.width == check.width && header.height == check.height,
            "libjpeg reads another size");
    const std::int64_t pixels = check.width * check.height;
    Require(check.peakBytes >= pixels * (2 * header.components + 8), "a JPEG counted too small");
    Require(!header.progressive || check.peakBytes >= pixels * (4 * header.components + 8),
            "a progressive JPEG counted without its coefficients");
    // The scans read at 16 x 16: the markers read alike whatever the size, and the decoder
    // passes over the whole picture for each scan.
    std::string small = file;
    for (std::size_t at = 0; (at = small.find('\xFF', at)) != std::string::npos; ++at) {
        const auto byte = [&](std::size_t i) {
            return i < small.size() ? static_cast<unsigned char>(small[i]) : 0u;
        };
        if (byte(at + 1) >= 0xC0 && byte(at + 1) <= 0xC2 && byte(at + 4) == 8 &&
            (byte(at + 5) << 8 | byte(at + 6)) == header.height &&
            (byte(at + 7) << 8 | byte(at + 8)) == header.width) {
            small.replace(at + 5, 4, std::string("\0\x10\0\x10", 4));
        }
    }
    JpegRead scans;
    ReadJpeg(small, true, scans);
    Require(!scans.complete || scans.scans == check.scans, "libjpeg reads other scans");
    Require(check.frames == 1, "a JPEG of more than one frame passed");
}

void CompareNothing(png_structp, png_const_charp) {}

[[noreturn]] void PngExit(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}

void PngRead(png_structp png, png_bytep out, png_size_t length) {
    auto* source = static_cast<std::string_view*>(png_get_io_ptr(png));
    if (length > source->size()) {
        png_error(png, "beyond the end");
    }
    std::memcpy(out, source->data(), length);
    source->remove_prefix(length);
}

void ComparePng(std::string_view file, const PictureCheck& check) {
    png_structp png =
        png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, PngExit, CompareNothing);
    png_infop info = png_create_info_struct(png);
    std::string_view source = file;
    png_set_read_fn(png, &source, PngRead);
    png_uint_32 width = 0, height = 0;
    int depth = 0, colour = 0;
    bool read = false, transparency = false;
    if (setjmp(png_jmpbuf(png)) == 0) {
        png_read_info(png, info);
        png_get_IHDR(png, info, &width, &height, &depth, &colour, nullptr, nullptr, nullptr);
        transparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;
        read = true;
    }
    png_destroy_read_struct(&png, &info, nullptr);
    if (!read) {
        return;
    }
    Require(width == check.width && height == check.height, "libpng reads another size");
    // At 8 or 16 bits a channel, as decoded; a palette's pixels one byte each.
    const int channels = (colour & PNG_COLOR_MASK_ALPHA) != 0 || transparency ? 4
                         : colour == PNG_COLOR_TYPE_RGB                       ? 3
                                                                              : 1;
    Require(check.peakBytes >=
                check.width * check.height * (2 * channels * (depth == 16 ? 2 : 1) + 8),
            "a PNG counted too small");
    Require(check.frames == 1 && check.scans == 1, "a PNG of more than one frame passed");
}

int GifRead(GifFileType* gif, GifByteType* out, int length) {
    auto* source = static_cast<std::string_view*>(gif->UserData);
    const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(length), source->size());
    std::memcpy(out, source->data(), n);
    source->remove_prefix(n);
    return static_cast<int>(n);
}

struct GifWalk {
    bool complete = false; // up to the trailer
    int width = 0, height = 0, frames = 0;
    bool inside = true; // every frame within the logical screen
};

// Every record of the file, each frame's data skipped unpacked.
GifWalk WalkGif(std::string_view file) {
    GifWalk walk;
    int error = 0;
    GifFileType* gif = DGifOpen(&file, GifRead, &error);
    if (gif == nullptr) {
        return walk;
    }
    walk.width = gif->SWidth;
    walk.height = gif->SHeight;
    GifRecordType type = UNDEFINED_RECORD_TYPE;
    bool ok = true;
    while (ok && DGifGetRecordType(gif, &type) == GIF_OK && type != TERMINATE_RECORD_TYPE) {
        GifByteType* block = nullptr;
        int code = 0;
        if (type == IMAGE_DESC_RECORD_TYPE) {
            ok = DGifGetImageDesc(gif) == GIF_OK;
            if (ok) {
                ++walk.frames;
                const GifImageDesc& frame = gif->Image;
                walk.inside = walk.inside && frame.Left + frame.Width <= walk.width &&
                              frame.Top + frame.Height <= walk.height;
                ok = DGifGetCode(gif, &code, &block) == GIF_OK;
            }
            while (ok && block != nullptr) {
                ok = DGifGetCodeNext(gif, &block) == GIF_OK;
            }
        } else if (type == EXTENSION_RECORD_TYPE) {
            ok = DGifGetExtension(gif, &code, &block) == GIF_OK;
            while (ok && block != nullptr) {
                ok = DGifGetExtensionNext(gif, &block) == GIF_OK;
            }
        } else {
            ok = false;
        }
    }
    walk.complete = ok && type == TERMINATE_RECORD_TYPE;
    DGifCloseFile(gif, &error);
    return walk;
}

void CompareGif(std::string_view file, const PictureCheck& check) {
    const GifWalk whole = WalkGif(file);
    if (whole.complete) {
        Require(whole.width == check.width && whole.height == check.height,
                "giflib reads another screen");
        Require(whole.frames == check.frames && whole.inside, "giflib reads other frames");
    }
    // As the menu hands it to the decoder: the first frame, and a trailer in place of the rest.
    std::string first(file.substr(0, static_cast<std::size_t>(check.decodeLength)));
    first.back() = ';';
    const GifWalk shown = WalkGif(first);
    if (shown.complete) {
        Require(shown.frames == 1 && shown.inside, "giflib reads more than the first frame");
    }
    Require(check.peakBytes >= check.width * check.height * 11, "a GIF counted too small");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string file(reinterpret_cast<const char*>(data), size);
    const PictureCheck check = CheckPictureFile(file, size, 96);
    if (check.fault != PictureFault::None) {
        return 0;
    }
    Require(check.decodeLength <= size, "the decoder is given more than the file");
    switch (FormatOf(file)) {
    case PictureFormat::Jpeg:
        CompareJpeg(file, check);
        break;
    case PictureFormat::Png:
        ComparePng(file, check);
        break;
    case PictureFormat::Gif:
        CompareGif(file, check);
        break;
    default:
        break;
    }
    return 0;
}
