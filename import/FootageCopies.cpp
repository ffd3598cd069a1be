#include "import/FootageCopies.h"

#include "support/LogSink.h"
#include "support/WholeFile.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

constexpr qint64 kBlock = 1 << 20;

qint64 modifiedMs(const QFileInfo &info)
{
    return info.lastModified().toMSecsSinceEpoch();
}

// Streams the file into a temporary beside `target`, renamed over it only once whole.
bool copyWhole(const QString &source, const QString &target, QString *error)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = in.errorString();
        return false;
    }
    WholeFile out(target);
    while (!in.atEnd()) {
        const QByteArray block = in.read(kBlock);
        if (block.isEmpty() && in.error() != QFileDevice::NoError) {
            *error = in.errorString();
            return false; // the temporary goes with `out`, nothing is renamed
        }
        if (!out.write(block))
            break;
    }
    return out.commit(error);
}

} // namespace

FootageCopies::FootageCopies(const QString &sceneDir)
    : m_footageDir(QDir::cleanPath(sceneDir) + QLatin1String("/Footage"))
{
    load();
}

void FootageCopies::load()
{
    QFile file(m_footageDir + QLatin1Char('/') + recordName());
    if (!file.open(QIODevice::ReadOnly))
        return;
    // A damaged record only costs copies made again.
    const QJsonArray copies = QJsonDocument::fromJson(file.readAll()).array();
    for (const QJsonValue &value : copies) {
        const QJsonObject o = value.toObject();
        const QString place = o.value(QLatin1String("copy")).toString();
        Record record{o.value(QLatin1String("source")).toString(),
                      qint64(o.value(QLatin1String("size")).toDouble(-1)),
                      qint64(o.value(QLatin1String("modified")).toDouble())};
        if (!place.isEmpty() && !record.source.isEmpty())
            m_records.insert(place, record);
    }
}

QString FootageCopies::placeFor(const QString &source, const QString &name, bool *upToDate) const
{
    const QFileInfo info(source);
    for (int n = 1;; ++n) {
        const QString place = n == 1 ? name : QString::number(n) + QLatin1Char('/') + name;
        if (m_claimed.contains(place))
            continue;
        const QString target = m_footageDir + QLatin1Char('/') + place;
        if (!QFileInfo::exists(target)) {
            *upToDate = false;
            return place;
        }
        const auto record = m_records.constFind(place);
        if (record == m_records.constEnd()) {
            // A copy made before copies were recorded (or put there by hand): taken over,
            // refreshed unless it already holds the source's bytes.
            *upToDate = info.size() == QFileInfo(target).size() && sameContent(source, target);
            return place;
        }
        if (record->source != source)
            continue; // another source's copy
        *upToDate = record->size == info.size() && record->modified == modifiedMs(info) &&
                    QFileInfo(target).size() == info.size();
        return place;
    }
}

bool FootageCopies::sameContent(const QString &a, const QString &b)
{
    QFile x(a);
    QFile y(b);
    if (!x.open(QIODevice::ReadOnly) || !y.open(QIODevice::ReadOnly))
        return false;
    while (!x.atEnd()) {
        if (x.read(kBlock) != y.read(kBlock))
            return false;
    }
    return y.atEnd();
}

QString FootageCopies::copy(const QString &sourcePath, QString *error)
{
    const QFileInfo info(sourcePath);
    const QString source = QDir::cleanPath(info.absoluteFilePath());
    if (const auto used = m_used.constFind(source); used != m_used.constEnd())
        return m_footageDir + QLatin1Char('/') + used.value();
    if (!info.isFile()) {
        *error = info.exists() ? QStringLiteral("not a file") : QStringLiteral("no such file");
        return QString();
    }
    bool upToDate = false;
    const QString place = placeFor(source, info.fileName(), &upToDate);
    const QString target = m_footageDir + QLatin1Char('/') + place;
    if (!upToDate) {
        if (!QDir().mkpath(QFileInfo(target).absolutePath())) {
            *error =
                QStringLiteral("cannot create the folder %1").arg(QFileInfo(target).absolutePath());
            return QString();
        }
        if (!copyWhole(source, target, error))
            return QString();
    }
    const Record record{source, info.size(), modifiedMs(info)};
    const auto old = m_records.constFind(place);
    if (old == m_records.constEnd() || old->source != record.source || old->size != record.size ||
        old->modified != record.modified) {
        m_records.insert(place, record);
        m_changed = true;
    }
    m_used.insert(source, place);
    m_claimed.insert(place);
    m_bytesUsed += info.size();
    return target;
}

QString FootageCopies::copyOrSource(const QString &source)
{
    QString error;
    const QString copied = copy(source, &error);
    if (!copied.isEmpty())
        return copied;
    appendLog(QStringLiteral("-ERR- CopyToFootage: cannot copy [%1] into [%2]: %3")
                  .arg(source, m_footageDir, error));
    return source;
}

bool FootageCopies::save()
{
    if (!m_changed)
        return true;
    QJsonArray copies;
    QStringList places = m_records.keys();
    places.sort();
    for (const QString &place : qAsConst(places)) {
        const Record &r = m_records[place];
        copies.append(QJsonObject{{QStringLiteral("copy"), place},
                                  {QStringLiteral("source"), r.source},
                                  {QStringLiteral("size"), double(r.size)},
                                  {QStringLiteral("modified"), double(r.modified)}});
    }
    const QString path = m_footageDir + QLatin1Char('/') + recordName();
    QString error;
    if (!writeWholeFile(path, QJsonDocument(copies).toJson(), &error)) {
        appendLog(QStringLiteral("-ERR- CopyToFootage: the record of the copies [%1] could not "
                                 "be written: %2")
                      .arg(path, error));
        return false;
    }
    m_changed = false;
    return true;
}
