#include "Jpeg.h"

#include <csetjmp>
#include <cstring>
#include <cstdio>
#include <new>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

#include <jpeglib.h>

namespace kuv {
namespace {

constexpr std::size_t kOutputBufferSize = 4096;
// Room for the file of a busy picture, so that the in-memory file seldom grows.
constexpr std::size_t kExpectedFileSize = 256 * 1024;

// Error manager: a fatal error jumps back to the encoder with its message
// number; warnings and trace messages are dropped, nothing is printed.
struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    bool outOfMemory;
};

void ErrorExit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    std::longjmp(err->jump, 1);
}
void OutputMessage(j_common_ptr) {}
void EmitMessage(j_common_ptr, int) {}
void ResetErrorManager(j_common_ptr cinfo) {
    cinfo->err->num_warnings = 0;
    cinfo->err->msg_code = 0;
}

// Destination manager: a 4096-byte buffer whose contents are appended to
// the in-memory file each time it fills, and once more at the end. No C++
// exception may cross libjpeg's C frames, so a failed append leaves through
// the error manager.
struct Destination {
    jpeg_destination_mgr pub;
    std::vector<std::uint8_t>* out;
    JOCTET buffer[kOutputBufferSize];
};

void Append(j_compress_ptr cinfo, std::size_t n) {
    auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
    try {
        dest->out->insert(dest->out->end(), dest->buffer, dest->buffer + n);
    } catch (const std::bad_alloc&) {
        auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
        err->outOfMemory = true;
        std::longjmp(err->jump, 1);
    }
}

void InitDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
    dest->pub.next_output_byte = dest->buffer;
    dest->pub.free_in_buffer = kOutputBufferSize;
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
    Append(cinfo, kOutputBufferSize);
    InitDestination(cinfo);
    return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
    auto* dest = reinterpret_cast<Destination*>(cinfo->dest);
    Append(cinfo, kOutputBufferSize - dest->pub.free_in_buffer);
}

// Rows of RGB32 pixels to red, green, blue bytes. Both ways store a few
// bytes past the row's end, which the next pixel overwrites; rows carry
// kRowSpare bytes for the last ones.
constexpr std::size_t kRowSpare = 4;

void ToRgbRowPlain(const Pixel* src, int n, JSAMPLE* dst) {
    for (int x = 0; x < n; ++x, dst += 3) {
        const std::uint32_t rgb0 = __builtin_bswap32(src[x] << 8);  // bytes R, G, B, 0 in memory
        std::memcpy(dst, &rgb0, 4);
    }
}

#if defined(__x86_64__) || defined(__i386__)
// Four pixels at a time: their bytes B, G, R, X shuffled to R, G, B.
__attribute__((target("ssse3"))) void ToRgbRowSsse3(const Pixel* src, int n, JSAMPLE* dst) {
    const __m128i order = _mm_setr_epi8(2, 1, 0, 6, 5, 4, 10, 9, 8, 14, 13, 12, -1, -1, -1, -1);
    int x = 0;
    for (; x + 4 <= n; x += 4, dst += 12)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(dst),
                         _mm_shuffle_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(src + x)), order));
    ToRgbRowPlain(src + x, n - x, dst);
}

void ToRgbRow(const Pixel* src, int n, JSAMPLE* dst) {
    static const bool ssse3 = __builtin_cpu_supports("ssse3");
    if (ssse3)
        ToRgbRowSsse3(src, n, dst);
    else
        ToRgbRowPlain(src, n, dst);
}
#else
void ToRgbRow(const Pixel* src, int n, JSAMPLE* dst) { ToRgbRowPlain(src, n, dst); }
#endif

// Everything a jump may skip lives outside the function that calls setjmp.
struct Encoder {
    jpeg_compress_struct cinfo{};
    ErrorManager err{};
    Destination dest{};
    std::vector<JSAMPLE> row;
};

bool Compress(Encoder& e, const Pixel* pixels, int width, int height) {
    if (setjmp(e.err.jump)) return false;
    jpeg_create_compress(&e.cinfo);
    e.dest.pub.init_destination = InitDestination;
    e.dest.pub.empty_output_buffer = EmptyOutputBuffer;
    e.dest.pub.term_destination = TermDestination;
    e.cinfo.dest = &e.dest.pub;

    e.cinfo.image_width = static_cast<JDIMENSION>(width);
    e.cinfo.image_height = static_cast<JDIMENSION>(height);
    e.cinfo.input_components = 3;
    e.cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&e.cinfo);
    e.cinfo.dct_method = JDCT_FLOAT;
    jpeg_set_quality(&e.cinfo, 90, TRUE);
    jpeg_start_compress(&e.cinfo, TRUE);

    // Rows from the top, each pixel as red, green, blue.
    e.row.resize(static_cast<std::size_t>(width > 0 ? width : 0) * 3 + kRowSpare);
    for (int y = 0; y < height; ++y) {
        ToRgbRow(pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(width), width, e.row.data());
        JSAMPROW rows[1] = {e.row.data()};
        jpeg_write_scanlines(&e.cinfo, rows, 1);
    }
    jpeg_finish_compress(&e.cinfo);
    return true;
}

}  // namespace

JpegResult EncodeJpegPixels(const Pixel* pixels, int width, int height) {
    JpegResult result;
    Encoder e;
    e.cinfo.err = jpeg_std_error(&e.err.pub);
    e.err.pub.error_exit = ErrorExit;
    e.err.pub.output_message = OutputMessage;
    e.err.pub.emit_message = EmitMessage;
    e.err.pub.reset_error_mgr = ResetErrorManager;
    e.dest.out = &result.bytes;
    result.bytes.reserve(kExpectedFileSize);
    if (!Compress(e, pixels, width, height)) {
        result.errorCode = e.err.outOfMemory ? 0 : e.err.pub.msg_code;
        result.outOfMemory = e.err.outOfMemory;
        if (result.errorCode == 0 && !result.outOfMemory) result.errorCode = -1;
        result.bytes.clear();
    }
    jpeg_destroy_compress(&e.cinfo);
    return result;
}

JpegResult EncodeJpeg(const Picture& picture) {
    return EncodeJpegPixels(picture.Pixels(), Picture::kWidth, Picture::kHeight);
}

}  // namespace kuv
