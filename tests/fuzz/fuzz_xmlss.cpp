// Fuzz target: the XML Spreadsheet 2003 scene list reader on arbitrary bytes. A document it
// refuses builds nothing; whatever it reads gives scenes of 11 cells and at most one
// "addTreeElm" box.
#include "FuzzTarget.h"
#include "scenelist/SceneListReader.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static SceneListHarness h(
        "1,1,1,,SC%a;1,2,6,,,png;1,3,2;1,4,5,,,psd,,,,,2;1,5,7;0;1,7,8,,,png;1,8,6");
    h.options.target = Target3DsMax;
    h.prompts.forget();
    SceneTree tree;
    SceneMatcher matcher(h.options, h.library, h.codes, h.query, tree);
    SceneListReader reader(matcher);
    const bool ok = reader.readXmlBytes(inputBytes(data, size));
    check(ok || tree.isEmpty());
    check(h.prompts.asked().size() <= 1);
    for (const SceneTreeScene &scene : tree.scenes()) {
        check(scene.cells.size() == SceneTreeColumn::Count);
        for (const SceneTreeRow &element : scene.elements)
            check(element.cells.size() == SceneTreeColumn::Count);
    }
    return 0;
}
