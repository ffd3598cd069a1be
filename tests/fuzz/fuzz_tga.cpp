// Fuzz target: the TGA reader on arbitrary bytes. Besides crashes and out-of-bounds access
// (with the sanitizers), it checks what the reader promises: an image of exactly width x height
// pixels or nothing, one fatal report exactly when the read fails, the quiet read agreeing with
// the reported one, and the header-only size accepting every file that decodes (a decoded image
// never needs fewer bytes than the header's minimum).
#include "FuzzTarget.h"
#include "import/ImageProbe.h"
#include "import/TgaReader.h"
#include "support/AnsweringPrompts.h"

namespace {

AnsweringPrompts &answers()
{
    static AnsweringPrompts prompts;
    static Prompts *previous = Prompts::install(&prompts);
    Q_UNUSED(previous);
    return prompts;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    AnsweringPrompts &prompts = answers();
    prompts.forget();
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));

    unsigned char palette[TgaPaletteSize];
    TgaHeader header;
    QByteArray pixels;
    const bool ok = imTgaRead(bytes, palette, &header, &pixels);

    int fatal = 0;
    for (const AnsweringPrompts::Question &q : prompts.asked())
        fatal += q.text.startsWith(QLatin1String("\n-ERR- ")) ? 1 : 0;
    check(prompts.asked().size() <= 1);
    check(ok == (fatal == 0));
    if (ok) {
        check(pixels.size() == qint64(header.width) * header.height * header.decodedPixelBytes());
        check(tgaHeaderSupported(header));
        const qint64 minimum = tgaMinimumFileSize(header);
        check(pixels.isEmpty() || (minimum >= 0 && minimum <= qint64(size)));
    } else {
        check(pixels.isEmpty());
    }

    QByteArray quiet;
    check(imTgaRead(bytes, nullptr, nullptr, &quiet, TgaReport::Silent) == ok);
    check(quiet == pixels);
    prompts.forget();
    return 0;
}
