// Image export: the JPEG encoder against libjpeg's own compression of the
// same pixels with the same settings, and the BMP export.
#include "language/Listing.h"
#include "language/Runner.h"
#include "picture/Bmp.h"
#include "picture/Jpeg.h"
#include "picture/Picture.h"
#include "shell/Export.h"

#include <QDir>
#include <QString>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <jpeglib.h>

namespace {

using namespace kuv;

// A picture with shapes, fills and text, as a listing draws it.
const Picture& Drawing() {
    static Picture* picture = [] {
        auto* p = new Picture;
        Listing l(
            "BOX 100 60 360 240 0\r\nPAINT 200 150 6 0\r\nCIRCLE 520 390 50 0\r\nPAINT 520 390 3 0\r\n"
            "ARC 320 240 200 0 270 1\r\nLINE 0 0 640 480 2\r\nPAINT24 600 50 20 200 90\r\nTEXT 20 460 0 KUV\r\n");
        RunProgram(l, *p);
        return p;
    }();
    return *picture;
}

void BM_JpegExportEncoder(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(EncodeJpeg(Drawing()));
}
BENCHMARK(BM_JpegExportEncoder)->Unit(benchmark::kMillisecond);

// libjpeg alone: the RGB rows ready in memory, libjpeg's own memory
// destination, the same settings.
void BM_JpegLibjpegAlone(benchmark::State& state) {
    std::vector<JSAMPLE> rgb(641 * 481 * 3);
    for (int i = 0; i < 641 * 481; ++i) {
        const Pixel px = Drawing().Pixels()[i];
        rgb[i * 3] = static_cast<JSAMPLE>(px >> 16);
        rgb[i * 3 + 1] = static_cast<JSAMPLE>(px >> 8);
        rgb[i * 3 + 2] = static_cast<JSAMPLE>(px);
    }
    for (auto _ : state) {
        jpeg_compress_struct cinfo{};
        jpeg_error_mgr jerr{};
        cinfo.err = jpeg_std_error(&jerr);
        jpeg_create_compress(&cinfo);
        unsigned char* out = nullptr;
        unsigned long size = 0;
        jpeg_mem_dest(&cinfo, &out, &size);
        cinfo.image_width = 641;
        cinfo.image_height = 481;
        cinfo.input_components = 3;
        cinfo.in_color_space = JCS_RGB;
        jpeg_set_defaults(&cinfo);
        cinfo.dct_method = JDCT_FLOAT;
        jpeg_set_quality(&cinfo, 90, TRUE);
        jpeg_start_compress(&cinfo, TRUE);
        while (cinfo.next_scanline < cinfo.image_height) {
            JSAMPROW row = &rgb[cinfo.next_scanline * 641 * 3];
            jpeg_write_scanlines(&cinfo, &row, 1);
        }
        jpeg_finish_compress(&cinfo);
        jpeg_destroy_compress(&cinfo);
        benchmark::DoNotOptimize(size);
        std::free(out);
    }
}
BENCHMARK(BM_JpegLibjpegAlone)->Unit(benchmark::kMillisecond);

void BM_BmpEncode(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(EncodeBmp(Drawing()));
}
BENCHMARK(BM_BmpEncode)->Unit(benchmark::kMillisecond);

// The whole BMP export: encode, write a temporary file, put it in place.
void BM_BmpExportToFile(benchmark::State& state) {
    const QString path = QDir::temp().absoluteFilePath(QStringLiteral("kuv-bench.bmp"));
    for (auto _ : state) benchmark::DoNotOptimize(ExportPicture(Drawing(), path, ImageFormat::Bmp));
    QFile::remove(path);
}
BENCHMARK(BM_BmpExportToFile)->Unit(benchmark::kMillisecond);

void BM_JpegExportToFile(benchmark::State& state) {
    const QString path = QDir::temp().absoluteFilePath(QStringLiteral("kuv-bench.jpg"));
    for (auto _ : state) benchmark::DoNotOptimize(ExportPicture(Drawing(), path, ImageFormat::Jpeg));
    QFile::remove(path);
}
BENCHMARK(BM_JpegExportToFile)->Unit(benchmark::kMillisecond);

}  // namespace
