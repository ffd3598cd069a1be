// Fuzz target: a CSV scene list through the row dispatch of a small matching table (scenes,
// searched assets with crop and template, information elements, scene-name rows, folder mode,
// code elements). Checks the tree the rules promise: 11 cells everywhere, every element found
// or not ("X" never left), a scene red in column 0 exactly when one of its elements is
// missing, and at most one "addTreeElm" box (the list stops there).
#include "FuzzTarget.h"
#include "scenelist/SceneListReader.h"

namespace {

struct CsvHarness : SceneListHarness
{
    CsvHarness()
        : SceneListHarness("1,1,1;1,2,6,6:,EP%02e_%a,png psd;1,3,2;2,0,3,,%a,mov;1,4,6,,,png,,,,,2,"
                           "\"excludeList\":\"a*\";1,5,7;1,2,6,,,tga;1,6,8,,,png")
    {
        options.target = Target3DsMax;
        options.splitCellOnSpace = true;
        options.production.episode = QStringLiteral("3");
        codes.loadFromText(QStringLiteral(";CH01;;;;;PR;MODEL\n"));
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static CsvHarness h;
    h.prompts.forget();
    SceneTree tree;
    SceneMatcher matcher(h.options, h.library, h.codes, h.query, tree);
    SceneListReader reader(matcher);
    check(reader.readCsvBytes(inputBytes(data, size), nullptr));
    check(h.prompts.asked().size() <= 1);
    for (const SceneTreeScene &scene : tree.scenes()) {
        check(scene.cells.size() == SceneTreeColumn::Count);
        bool missing = false;
        for (const SceneTreeRow &element : scene.elements) {
            const QString fok = element.cell(SceneTreeColumn::Fok);
            check(element.cells.size() == SceneTreeColumn::Count);
            check(fok == QLatin1String("0") || fok == QLatin1String("1"));
            missing = missing || fok == QLatin1String("0");
        }
        check(scene.isRed(SceneTreeColumn::Element) == missing);
    }
    return 0;
}
