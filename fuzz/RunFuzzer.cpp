// Feeds arbitrary bytes through the whole pipeline of a run: the loader, the
// runner with every drawing routine, the parser on its own, and the codec.
#include "language/Cp932.h"
#include "language/Listing.h"
#include "language/ListingText.h"
#include "language/Runner.h"
#include "language/Statements.h"
#include "picture/Bmp.h"
#include "picture/Picture.h"

#include <QGuiApplication>

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int qtArgc = 1;
    static QGuiApplication* app = new QGuiApplication(qtArgc, *argv);
    (void)app;
    (void)argc;
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);

    static kuv::Picture picture;
    std::string text = kuv::NormaliseLoadedText(bytes);
    // Loading in pieces, as files and pipes arrive, gives the same text.
    kuv::LoadedTextBuilder pieces;
    const std::size_t cut = size ? data[0] % (size + 1) : 0;
    pieces.Append(std::string_view(bytes).substr(0, cut));
    pieces.Append(std::string_view(bytes).substr(cut));
    if (pieces.Finish() != text) std::abort();

    kuv::Listing listing(std::move(text));
    const int before = listing.Count();
    kuv::RunProgram(listing, picture);
    if (listing.Count() > before) std::abort();  // a run never adds lines
    // The rewritten listing has no empty counted line and no line over 255 bytes.
    for (int i = 0; i < listing.Count(); ++i)
        if (listing.Get(i).size() > 255) std::abort();

    // The parser must cope with lines that the runner would never hand it.
    kuv::ParseStatement(bytes.substr(0, 300));

    if (kuv::EncodeCp932(kuv::DecodeCp932(bytes)) != bytes) std::abort();
    if (size > 0 && data[0] == 'B') kuv::EncodeBmp(picture);
    return 0;
}
