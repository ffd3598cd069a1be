// Fuzz target: the scene descriptor reader on arbitrary bytes, then the writer and reader on
// names taken from the same bytes. Checks that a refused file builds nothing, that an accepted
// one builds exactly one composition and runs the batch scripts once, that the defaults read
// for the analysis accept the same files, and that any name the writer is given comes back
// unchanged through the reader.
#include "FuzzTarget.h"
#include "import/ColumnAssembler.h"
#include "import/ExpoDescriptor.h"

#include <QList>

namespace {

class CheckingAssembler : public ColumnAssembler
{
public:
    void createSceneComposition(const QString &, const QString &, int, int frameRate, int,
                                int) override
    {
        check(frameRate > 0);
        ++comps;
    }
    void importColumn(const QString &file, bool, int, const QString &folder, bool) override
    {
        check(comps == 1 && batches == 0);
        lastFile = file;
        lastFolder = folder;
        ++columns;
    }
    void precomposeLayers(int count, const QString &) override
    {
        // A col that names no file imports nothing but still counts, so count is not bounded
        // by the columns seen here.
        check(comps == 1 && batches == 0 && count >= 0);
        ++precomps;
    }
    void runBatchScripts() override { ++batches; }

    int comps = 0;
    int columns = 0;
    int precomps = 0;
    int batches = 0;
    QString lastFile;
    QString lastFolder;
};

// Text that XML can carry: no control characters but tab, line feed and carriage return, no
// lone surrogates, no U+FFFE or U+FFFF.
bool xmlCanCarry(const QString &text)
{
    for (int i = 0; i < text.size(); ++i) {
        const ushort c = text.at(i).unicode();
        if ((c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0xfffe || c == 0xffff)
            return false;
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (text.at(i).isSurrogate())
            return false;
    }
    return true;
}

void readBytes(const QByteArray &bytes, int precomp)
{
    ImportOptions options;
    options.precomp = precomp;
    CheckingAssembler assembler;
    ExpoDescriptor(options, assembler)
        .importSceneFromData(QStringLiteral("/scenes/SC01/SC01-QUILLMARK-GENERATED.xml"), bytes);
    check(assembler.comps <= 1 && assembler.batches == assembler.comps);
    DescriptorDefaults defaults;
    check(ExpoDescriptor::readDefaultsFromData(bytes, 25, &defaults) == (assembler.comps == 1));
}

void roundTrip(const QByteArray &bytes)
{
    const QList<QByteArray> fields = bytes.split('\0');
    if (fields.size() < 4)
        return;
    ExpoCol col;
    col.name = QString::fromUtf8(fields.at(0));
    col.firstCellName = QString::fromUtf8(fields.at(1));
    col.subdir = QString::fromUtf8(fields.at(2));
    col.ext = QString::fromUtf8(fields.at(3));
    col.folder = fields.size() > 4 ? QString::fromUtf8(fields.at(4)) : QString();
    col.nbIma = 2;
    if (col.firstCellName.isEmpty())
        return;
    const QString all = col.name + col.firstCellName + col.subdir + col.ext + col.folder;
    ImportOptions options;
    CheckingAssembler assembler;
    ExpoDescriptor(options, assembler)
        .importSceneFromData(QStringLiteral("/s/d.xml"),
                             ExpoDescriptor::descriptorText(2, 25, 0, 0, {col}));
    if (!xmlCanCarry(all))
        return; // no XML form: the reader refuses the file or reads a blank
    // Each folder of the subdir is one nesting level of the file; the reader refuses files
    // nested deeper than it will walk (a clear parse error, not a round trip).
    if (col.subdir.split(QLatin1Char('/'), Qt::SkipEmptyParts).size() > 500)
        return;
    check(assembler.columns == 1);
    check(assembler.lastFile == QStringLiteral("/s") + col.subdir + QLatin1Char('/') +
                                    col.firstCellName + QLatin1Char('.') + col.ext);
    check(assembler.lastFolder == col.folder);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    readBytes(bytes, int(size % 6));
    roundTrip(bytes);
    return 0;
}
