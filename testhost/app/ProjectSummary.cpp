#include "testhost/app/ProjectSummary.h"

#include "testhost/project/ProjectModel.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>

namespace {

QString frames(const A_Time &duration, const A_Ratio &rate)
{
    if (duration.scale == 0 || rate.den == 0)
        return QStringLiteral("?");
    const double seconds = double(duration.value) / double(duration.scale);
    return QString::number(qRound(seconds * rate.num / rate.den));
}

QString describeSource(const ProjectItem *source)
{
    if (!source)
        return QStringLiteral("(no source)");
    if (source->type == AEGP_ItemType_COMP)
        return QStringLiteral("composition \"%1\"").arg(source->name);
    if (source->type == AEGP_ItemType_FOOTAGE)
        return QStringLiteral("%1 \"%2\"").arg(source->kind, source->name);
    return source->name;
}

} // namespace

void printCompositions(QTextStream &out, const ProjectModel &project)
{
    for (const ProjectItem *item : project.items()) {
        if (item->type != AEGP_ItemType_COMP)
            continue;
        out << "  composition \"" << item->name << "\" " << item->width << 'x' << item->height
            << ", " << frames(item->duration, item->frameRate) << " frames at "
            << double(item->frameRate.num) / std::max<A_long>(1, item->frameRate.den) << " fps\n";
        int index = 1;
        for (const auto &layer : item->layers)
            out << "    " << index++ << ". " << layer->name << "  <- "
                << describeSource(layer->source) << '\n';
    }
}

bool printSavedProject(QTextStream &out, const QString &path)
{
    QFile file(path);
    QString error;
    ProjectModel project;
    if (!file.open(QIODevice::ReadOnly)) {
        error = file.errorString();
    } else {
        QJsonParseError parse{};
        const QJsonDocument doc = QJsonDocument::fromJson(file.readAll(), &parse);
        if (parse.error != QJsonParseError::NoError)
            error = parse.errorString();
        else
            project.fromJson(doc.object(), &error);
    }
    if (!error.isEmpty()) {
        out << "  cannot read " << path << ": " << error << '\n';
        return false;
    }
    out << "  project " << QDir::toNativeSeparators(path) << '\n';
    printCompositions(out, project);
    return true;
}
