#pragma once

// Small stateless helpers on names and paths shared by every panel.
//
// Example: "D:/prod/sc01/A_0012.tga" splits into fileDirectory "D:/prod/sc01", fileName
// "A_0012.tga", sequencePrefix "A_", sequenceNumber 12 and fileExtension "tga".

#include "support/FolderEntries.h"

#include <QList>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

QString fileExtension(const QString &path);
QString removeExtension(const QString &path);
QString fileName(const QString &path);
QString baseName(const QString &path);
QString fileDirectory(const QString &path);
QString sequencePrefix(const QString &path);
int sequenceNumber(const QString &path);
QString wildcardRoot(const QString &path);

// NUL-terminated 8-bit variants (they change their string in place).
char *cFileName(char *path);
void cCutAtDirectory(char *path);
void cRemoveExtension(char *path);

bool hasWildcard(const QString &text);
bool wildcardMatch(const QString &pattern, const QString &text);
// The compiled pattern of wildcardMatch, for matching many texts against one pattern:
// wildcardMatch(p, t) is p == t or wildcardRegex(p) matching t.
QRegularExpression wildcardRegex(const QString &pattern);
bool matchesAny(const QStringList &patterns, const QString &text);
QString padNumber(const QString &number, int width);
QString expandPlaceholder(const QString &templ, QChar letter, const QString &value);
QString cutName(const QString &text, const QString &cuts, QChar separator);
QList<QStringList> splitRecords(const QString &text, QChar separator);
// A list as one stored text: the items joined with ",", a "," inside an item written
// "[VIRGULE]" (as the table text writes it), so "/lib/Chars, Props" stays one item.
// splitListText splits at "," (empty parts kept) and turns "[VIRGULE]" back into ",";
// texts without the escape read as they always have.
QString joinListText(const QStringList &items);
QStringList splitListText(const QString &text);
// Callers make the first call with start "FUNCTION_START". Each folder is walked once, and
// links that lead back inside the searched tree are not followed.
bool findDirectories(const QString &pattern, QStringList &result, const QString &start);
// The same search, also giving every folder it looked at (the start folder, then each folder
// whose subfolders it listed) with its stamp from before the look: while none of those stamps
// changes, the search finds the same folders.
struct LookedFolder
{
    QString path;
    FolderStamp stamp;
};
bool findDirectories(const QString &pattern, QStringList &result, const QString &start,
                     QVector<LookedFolder> *looked);
