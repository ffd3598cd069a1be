// Fuzz target: the bridge-file reader with its repairs on arbitrary bytes. A file that does not
// parse adds no element and no library folder; a file that does adds each folder once.
#include "scenelist/AssetQuery.h"
#include "scenelist/CodeConversionTable.h"
#include "scenelist/LibraryIndex.h"
#include "scenelist/SceneListReader.h"
#include "scenelist/SceneMatcher.h"
#include "support/AnsweringPrompts.h"

#include <QSet>

#include <cstdint>
#include <cstdlib>

namespace {

void check(bool condition)
{
    if (!condition)
        std::abort();
}

struct Harness
{
    Harness()
    {
        Prompts::install(&prompts);
        options.table = MatchingTable::fromText(
            QStringLiteral("1,0,3,,,mov;1,0,4,,,wav;1,0,5,,,png;1,0,6,,,fla,,,,,2;1,0,0"));
    }
    AnsweringPrompts prompts;
    LibraryIndex library;
    CodeConversionTable codes;
    AssetQuery query;
    SceneListOptions options;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static Harness h;
    h.prompts.forget();
    SceneTree tree;
    SceneMatcher matcher(h.options, h.library, h.codes, h.query, tree);
    matcher.addSceneItem(-1, QStringLiteral("SC1"), true, QString());
    SceneListReader reader(matcher);
    reader.setLibraryFolders({QStringLiteral("/lib")});
    const bool ok =
        reader.readFileListBytes(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    const QStringList added = reader.addedLibraryFolders();
    check(ok || (added.isEmpty() && tree.scenes().first().elements.isEmpty()));
    check(QSet<QString>(added.begin(), added.end()).size() == added.size());
    check(!added.contains(QStringLiteral("/lib")));
    check(h.prompts.asked().isEmpty());
    return 0;
}
