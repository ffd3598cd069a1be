// Composition previews from the command line: one frame of a composition of the open project
// written as a PNG picture.
#include "testhost/app/HostActions.h"
#include "testhost/app/OutputFiles.h"
#include "testhost/core/TestHost.h"
#include "testhost/project/CompositionRenderer.h"
#include "testhost/project/ProjectHost.h"
#include "testhost/project/ProjectModel.h"

#include <QDir>
#include <unordered_set>

namespace {

// The composition a scene's preview shows: the first one no other composition holds.
const ProjectItem *mainComposition(const ProjectModel &model)
{
    std::unordered_set<const ProjectItem *> nested;
    for (const ProjectItem *item : model.items())
        for (const auto &layer : item->layers)
            nested.insert(layer->source);
    for (const ProjectItem *item : model.items())
        if (item->type == AEGP_ItemType_COMP && !nested.count(item))
            return item;
    return nullptr;
}

const ProjectItem *findComposition(const ProjectModel &model, const QString &name)
{
    if (name == QLatin1String("-"))
        return mainComposition(model);
    for (const ProjectItem *item : model.items())
        if (item->type == AEGP_ItemType_COMP && item->name == name)
            return item;
    return nullptr;
}

// --render COMP FRAME FILE
bool renderFrame(HostRun &run, const QString &)
{
    const QString name = run.values.value(0);
    const QString path = run.values.value(2);
    bool numeric = false;
    const int frame = run.values.value(1).toInt(&numeric);
    const ProjectModel &model = run.host->project().model();
    const ProjectItem *comp = findComposition(model, name);
    CompositionRenderer renderer;
    QString error;
    QImage image;
    if (!comp)
        error = QStringLiteral("no composition \"%1\" in the project").arg(name);
    else if (!numeric)
        error = QStringLiteral("the frame must be a number, not \"%1\"").arg(run.values.value(1));
    else
        image = renderer.render(comp, frame, &error);
    if (image.isNull() || !writeImageFile(image, path, &error)) {
        *run.err << "cellkit-host: --render: " << error << Qt::endl;
        return false;
    }
    *run.out << "rendered \"" << comp->name << "\" frame " << frame << " (" << image.width() << 'x'
             << image.height() << ") to " << QDir::toNativeSeparators(path) << '\n';
    for (const QString &missing : renderer.missingFiles())
        *run.out << "  missing: "
                 << (missing.isEmpty() ? QStringLiteral("a frame of a sequence")
                                       : QDir::toNativeSeparators(missing))
                 << '\n';
    run.out->flush();
    return true;
}

} // namespace

void addRenderActions(ActionTable &table)
{
    HostAction render{QStringLiteral("render"), true, QStringLiteral("COMP FRAME FILE"),
                      QStringLiteral("write frame FRAME (from 0) of composition COMP (\"-\": the "
                                     "one no other holds) as a PNG picture"),
                      renderFrame};
    render.valueCount = 3;
    render.pathValues = {2};
    table.add(render);
}
