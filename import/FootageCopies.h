#pragma once
// The copies of library files in a scene folder's "Footage" folder ("Copy Files to relative
// path", and every element of a collected scene). Each source has a copy of its own: two
// library files of the same name go to "Footage/<name>" and "Footage/2/<name>" (the file name,
// and so the layer's name, stays as in the library). A copy is made once per scene and made
// again when its source changed (size or modification time) since; a copy is written beside
// its place and renamed there, so a failed copy never leaves a cut file.
//
// Which source each copy came from is kept in "Footage/.footage-sources.json", so that the
// next run of the scene knows its copies from those of another source of the same name.
//
// Example: lib/bg/layer.png then lib/fx/layer.png give <scene>/Footage/layer.png and
// <scene>/Footage/2/layer.png; when lib/bg/layer.png is painted over, the next run replaces
// Footage/layer.png and leaves Footage/2/layer.png as it is.
#include <QHash>
#include <QSet>
#include <QString>

class FootageCopies
{
public:
    explicit FootageCopies(const QString &sceneDir);

    // The name of the record of the copies, inside the Footage folder.
    static QString recordName() { return QStringLiteral(".footage-sources.json"); }

    // The copy of `source` to use, made or refreshed as needed; empty, with the reason, when
    // no copy could be made.
    QString copy(const QString &source, QString *error);
    // The copy of `source`, or the source itself after an -ERR- line when it cannot be copied.
    QString copyOrSource(const QString &source);
    // Writes the record when copies were made; an -ERR- line when it cannot be written.
    bool save();

    // The copies this object handed out: how many, and their bytes.
    int filesUsed() const { return int(m_used.size()); }
    qint64 bytesUsed() const { return m_bytesUsed; }

private:
    struct Record
    {
        QString source; // absolute path
        qint64 size = -1;
        qint64 modified = 0; // ms since the epoch, UTC
    };

    void load();
    // Where `source` goes: a free place, or the place of its own earlier copy.
    QString placeFor(const QString &source, const QString &name, bool *upToDate) const;
    static bool sameContent(const QString &a, const QString &b);

    QString m_footageDir;
    QHash<QString, Record> m_records; // by place, relative to the Footage folder
    QHash<QString, QString> m_used;   // source -> place, this run
    QSet<QString> m_claimed;          // places handed out this run
    qint64 m_bytesUsed = 0;
    bool m_changed = false;
};
