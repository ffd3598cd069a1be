// Fuzz target: the bridge-file reader with its repairs on arbitrary bytes. A file that does not
// parse adds no element and no library folder; a file that does adds each folder once.
#include "FuzzTarget.h"
#include "scenelist/SceneListReader.h"

#include <QSet>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static SceneListHarness h("1,0,3,,,mov;1,0,4,,,wav;1,0,5,,,png;1,0,6,,,fla,,,,,2;1,0,0");
    h.prompts.forget();
    SceneTree tree;
    SceneMatcher matcher(h.options, h.library, h.codes, h.query, tree);
    matcher.addSceneItem(-1, QStringLiteral("SC1"), true, QString());
    SceneListReader reader(matcher);
    reader.setLibraryFolders({QStringLiteral("/lib")});
    const bool ok = reader.readFileListBytes(inputBytes(data, size));
    const QStringList added = reader.addedLibraryFolders();
    check(ok || (added.isEmpty() && tree.scenes().first().elements.isEmpty()));
    check(QSet<QString>(added.begin(), added.end()).size() == added.size());
    check(!added.contains(QStringLiteral("/lib")));
    check(h.prompts.asked().isEmpty());
    return 0;
}
