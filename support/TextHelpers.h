#pragma once

// Small stateless helpers on names and paths shared by every panel.
//
// Example: "D:/prod/sc01/A_0012.tga" splits into fileDirectory "D:/prod/sc01", fileName
// "A_0012.tga", sequencePrefix "A_", sequenceNumber 12 and fileExtension "tga".

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
// Callers make the first call with start "FUNCTION_START".
bool findDirectories(const QString &pattern, QStringList &result, const QString &start);
