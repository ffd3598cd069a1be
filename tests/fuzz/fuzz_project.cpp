// Fuzz target: the test host's project files on arbitrary bytes, read as a project opened and
// as a project imported into a folder. A refused file changes nothing; an accepted one saves
// and reads back to the same text; opening and importing accept the same files.
#include "FuzzTarget.h"
#include "testhost/project/ProjectModel.h"

#include <QJsonDocument>

namespace {

QByteArray saved(const ProjectModel &model)
{
    return QJsonDocument(model.toJson()).toJson(QJsonDocument::Compact);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QJsonDocument doc = QJsonDocument::fromJson(inputBytes(data, size));
    if (!doc.isObject())
        return 0; // refused before the reader sees it
    QString error;

    ProjectModel opened;
    const QByteArray empty = saved(opened);
    const bool ok = opened.fromJson(doc.object(), &error);
    check(ok || (saved(opened) == empty && !error.isEmpty()));
    if (ok) {
        ProjectModel again;
        check(again.fromJson(opened.toJson(), &error));
        check(saved(again) == saved(opened));
    }

    ProjectModel host;
    ProjectItem *folder = host.addFolder(QStringLiteral("into"), nullptr);
    const QByteArray before = saved(host);
    const bool imported = host.fromJson(doc.object(), &error, folder);
    check(imported == ok);
    if (!imported) {
        check(saved(host) == before);
    } else {
        host.setDirty(false); // an opened project starts clean
        ProjectModel again;
        check(again.fromJson(host.toJson(), &error));
        check(saved(again) == saved(host));
    }
    return 0;
}
