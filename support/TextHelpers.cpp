#include "support/TextHelpers.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <algorithm>
#include <cstring>

namespace {

bool isSeparator(char c)
{
    return c == '/' || c == '\\';
}

bool isAsciiDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int lastSeparator(const QString &path)
{
    return std::max(path.lastIndexOf(QLatin1Char('/')), path.lastIndexOf(QLatin1Char('\\')));
}

// Length of the run of decimal digits that ends the text.
int trailingDigits(const QString &text)
{
    int count = 0;
    while (count < text.size() && isAsciiDigit(text.at(text.size() - 1 - count)))
        ++count;
    return count;
}

// Turns a file-system style wildcard into an anchored regular expression. Unlike the shell,
// "*" also crosses "/", so "D:/lib/*" matches every directory at any depth below D:/lib.
// "[abc]" and "[!abc]" are character sets; everything else is literal.
QString wildcardToRegex(const QString &pattern)
{
    QString rx;
    const int size = pattern.size();
    for (int i = 0; i < size; ++i) {
        const QChar c = pattern.at(i);
        if (c == QLatin1Char('*')) {
            rx += QLatin1String(".*");
        } else if (c == QLatin1Char('?')) {
            rx += QLatin1Char('.');
        } else if (c == QLatin1Char('[')) {
            int j = i + 1;
            if (j < size &&
                (pattern.at(j) == QLatin1Char('!') || pattern.at(j) == QLatin1Char('^')))
                ++j;
            if (j < size && pattern.at(j) == QLatin1Char(']'))
                ++j; // a leading "]" belongs to the set
            while (j < size && pattern.at(j) != QLatin1Char(']'))
                ++j;
            if (j >= size) { // no closing bracket: a plain "["
                rx += QLatin1String("\\[");
                continue;
            }
            QString set = pattern.mid(i + 1, j - i - 1);
            QString body = QLatin1String("[");
            int k = 0;
            if (set.startsWith(QLatin1Char('!')) || set.startsWith(QLatin1Char('^'))) {
                body += QLatin1Char('^');
                k = 1;
            }
            for (; k < set.size(); ++k) {
                const QChar s = set.at(k);
                if (s == QLatin1Char('\\') || s == QLatin1Char('[') || s == QLatin1Char(']') ||
                    s == QLatin1Char('^'))
                    body += QLatin1Char('\\');
                body += s;
            }
            rx += body + QLatin1Char(']');
            i = j;
        } else {
            rx += QRegularExpression::escape(QString(c));
        }
    }
    return QLatin1String("\\A(?:") + rx + QLatin1String(")\\z");
}

// One wildcard folder search. Each folder is walked once, known by its identity, and a link
// that leads back inside the searched tree is not followed (the folder it leads to is reached
// by its own path): sibling links a/l -> ../b, b/l -> ../a would otherwise be walked for ever.
class DirectorySearch
{
public:
    DirectorySearch(const QString &pattern, const QString &root, QStringList &result,
                    QVector<LookedFolder> *looked)
        : m_pattern(pattern), m_result(result), m_looked(looked)
    {
        m_root = QFileInfo(root).canonicalFilePath();
        m_rootPrefix = m_root.endsWith(QLatin1Char('/')) ? m_root : m_root + QLatin1Char('/');
    }

    void visit(const QString &dir, const FolderStamp &stamp, bool isRoot)
    {
        if (m_walked.contains(stamp.identity))
            return;
        m_walked.insert(stamp.identity);

        // Find the longest leading part of the pattern that matches this directory.
        QString prefix = m_pattern;
        bool matched = false;
        while (!prefix.isEmpty()) {
            if (wildcardMatch(prefix, dir)) {
                matched = true;
                break;
            }
            const int slash = prefix.lastIndexOf(QLatin1Char('/'));
            if (slash < 0)
                break;
            prefix.truncate(slash);
        }
        if (!matched)
            return;
        if (prefix == m_pattern) {
            m_result.append(dir);
            return;
        }
        if (m_looked && !isRoot)
            m_looked->append({dir, stamp});
        for (const QString &child : subfolders(dir)) {
            const FolderStamp childStamp = folderStamp(child);
            if (childStamp.exists)
                visit(child, childStamp, false);
        }
    }

private:
    // The subfolders to walk, by absolute path, in name order (the same on every file system).
    QStringList subfolders(const QString &dir) const
    {
        QStringList names;
        QStringList links;
        FolderReader reader(dir, FolderEntryKinds::FilesAndDirectories);
        while (reader.next()) {
            if (!reader.isDirectory())
                continue;
            names << reader.name();
            if (reader.isLink())
                links << reader.name();
        }
        std::sort(names.begin(), names.end(), lessByCodeUnits);
        const QString base = QDir(dir).absolutePath() + QLatin1Char('/');
        QStringList paths;
        for (const QString &name : qAsConst(names)) {
            if (links.contains(name) && leadsInside(base + name))
                continue;
            paths << base + name;
        }
        return paths;
    }

    bool leadsInside(const QString &link) const
    {
        const QString target = QFileInfo(link).canonicalFilePath();
        return target.isEmpty() || target == m_root || target.startsWith(m_rootPrefix);
    }

    const QString m_pattern;
    QStringList &m_result;
    QVector<LookedFolder> *m_looked; // not owned; may be null
    QString m_root;
    QString m_rootPrefix;
    QSet<QByteArray> m_walked;
};

} // namespace

// ---- paths -----------------------------------------------------------------------------------

QString fileExtension(const QString &path)
{
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : path.mid(dot + 1).toLower();
}

QString removeExtension(const QString &path)
{
    const int dot = path.lastIndexOf(QLatin1Char('.'));
    return dot > lastSeparator(path) ? path.left(dot) : path;
}

QString fileName(const QString &path)
{
    return path.mid(lastSeparator(path) + 1);
}

QString baseName(const QString &path)
{
    return removeExtension(fileName(path));
}

QString fileDirectory(const QString &path)
{
    const int separator = lastSeparator(path);
    return separator < 0 ? QString() : path.left(separator);
}

QString sequencePrefix(const QString &path)
{
    const QString name = baseName(path);
    return name.left(name.size() - trailingDigits(name));
}

int sequenceNumber(const QString &path)
{
    const QString stem = removeExtension(path);
    const int digits = trailingDigits(stem);
    return digits == 0 ? 0 : stem.right(digits).toInt();
}

QString wildcardRoot(const QString &path)
{
    QString root = path;
    for (;;) {
        if (!hasWildcard(root))
            return root;
        const int slash = root.lastIndexOf(QLatin1Char('/'));
        if (slash < 0)
            return QString();
        root.truncate(slash);
    }
}

// The 8-bit variants look at every character but the first: a leading "/" or "." is never
// taken for a separator or an extension.

char *cFileName(char *path)
{
    if (!path)
        return path;
    for (int i = int(std::strlen(path)) - 1; i > 0; --i) {
        if (isSeparator(path[i]))
            return path + i + 1;
    }
    return path;
}

void cCutAtDirectory(char *path)
{
    if (!path)
        return;
    for (int i = int(std::strlen(path)) - 1; i > 0; --i) {
        if (isSeparator(path[i])) {
            path[i] = '\0';
            return;
        }
    }
    path[0] = '\0';
}

void cRemoveExtension(char *path)
{
    if (!path)
        return;
    for (int i = int(std::strlen(path)) - 1; i > 0; --i) {
        if (isSeparator(path[i]))
            return;
        if (path[i] == '.') {
            path[i] = '\0';
            return;
        }
    }
}

// ---- text ------------------------------------------------------------------------------------

bool hasWildcard(const QString &text)
{
    return text.contains(QLatin1Char('*')) || text.contains(QLatin1Char('?'));
}

QRegularExpression wildcardRegex(const QString &pattern)
{
    return QRegularExpression(wildcardToRegex(pattern),
                              QRegularExpression::DotMatchesEverythingOption);
}

bool wildcardMatch(const QString &pattern, const QString &text)
{
    return pattern == text || wildcardRegex(pattern).match(text).hasMatch();
}

bool matchesAny(const QStringList &patterns, const QString &text)
{
    for (const QString &pattern : patterns) {
        if (wildcardMatch(pattern, text))
            return true;
    }
    return false;
}

QString padNumber(const QString &number, int width)
{
    // Letters ride along without counting towards the width: "12a" in 3 gives "012a".
    static const QRegularExpression leadingZeros(QStringLiteral("^0*"));
    static const QRegularExpression nonDigit(QStringLiteral("\\D{1}"));
    QString text = number;
    text.remove(leadingZeros);
    int extra = 0;
    for (auto it = nonDigit.globalMatch(text); it.hasNext(); it.next())
        ++extra;
    return text.rightJustified(width + extra, QLatin1Char('0'));
}

// A placeholder is "%", optionally "0" and one ASCII digit (the width), then the letter:
// "%a", "%03a". Scanned by hand: names are expanded once per asset and per placeholder letter,
// and a regular expression compiled for each would cost more than the whole scan.
QString expandPlaceholder(const QString &templ, QChar letter, const QString &value)
{
    if (value.isEmpty())
        return templ;
    QString result = templ;
    int from = 0;
    for (;;) {
        const int at = result.indexOf(QLatin1Char('%'), from);
        if (at < 0 || at + 1 >= result.size())
            return result;
        int length = 0;
        int width = -1;
        if (result.at(at + 1) == letter) {
            length = 2;
        } else if (at + 3 < result.size() && result.at(at + 1) == QLatin1Char('0') &&
                   isAsciiDigit(result.at(at + 2)) && result.at(at + 3) == letter) {
            length = 4;
            width = result.at(at + 2).unicode() - '0';
        }
        if (length == 0) {
            from = at + 1;
            continue;
        }
        const QString replacement = width < 0 ? value : padNumber(value, width);
        result.replace(at, length, replacement);
        // Resume after what we inserted, so a value holding "%e" is never expanded again.
        from = at + replacement.size();
    }
}

QString cutName(const QString &text, const QString &cuts, QChar separator)
{
    if (cuts.isEmpty())
        return text;
    const QStringList parts = cuts.split(separator);
    QString name = text;

    const QString start = parts.value(0);
    if (!start.isEmpty()) {
        bool isNumber = false;
        const int n = start.toInt(&isNumber);
        if (isNumber) {
            name = name.mid(qBound(0, n, name.size()));
        } else {
            const int at = name.indexOf(start);
            if (at >= 0)
                name = name.mid(at + start.size());
        }
    }

    const QString end = parts.value(1);
    if (!end.isEmpty()) {
        bool isNumber = false;
        const int m = end.toInt(&isNumber);
        if (isNumber) {
            name = name.left(name.size() - qBound(0, m, name.size()));
        } else {
            const int at = name.lastIndexOf(end);
            name = at < 0 ? QString() : name.left(at);
        }
    }

    for (int i = 2; i < parts.size(); ++i) {
        if (!parts.at(i).isEmpty())
            name.remove(parts.at(i));
    }
    return name;
}

QList<QStringList> splitRecords(const QString &text, QChar separator)
{
    const QChar quote(QLatin1Char('"'));
    QList<QStringList> records;
    QStringList record;
    QString field;
    bool quoted = false;

    for (int i = 0; i < text.size() && !text.at(i).isNull(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == quote) {
                if (i + 1 < text.size() && text.at(i + 1) == quote) {
                    field += quote;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
        } else if (c == quote) {
            quoted = true;
        } else if (c == separator) {
            record.append(field);
            field.clear();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (record.isEmpty() && field.isEmpty())
                continue; // blank line, or the LF of a CR LF pair
            record.append(field);
            field.clear();
            records.append(record);
            record.clear();
        } else {
            field += c;
        }
    }
    // A last record without a line break is a record all the same: files saved by hand or by
    // a script often end without one.
    if (!record.isEmpty() || !field.isEmpty()) {
        record.append(field);
        records.append(record);
    }
    return records;
}

QString joinListText(const QStringList &items)
{
    QStringList escaped;
    escaped.reserve(items.size());
    for (const QString &item : items)
        escaped << QString(item).replace(QLatin1Char(','), QLatin1String("[VIRGULE]"));
    return escaped.join(QLatin1Char(','));
}

QStringList splitListText(const QString &text)
{
    QStringList items = text.split(QLatin1Char(','));
    for (QString &item : items)
        item.replace(QLatin1String("[VIRGULE]"), QLatin1String(","));
    return items;
}

bool findDirectories(const QString &pattern, QStringList &result, const QString &start)
{
    return findDirectories(pattern, result, start, nullptr);
}

bool findDirectories(const QString &pattern, QStringList &result, const QString &start,
                     QVector<LookedFolder> *looked)
{
    const QString wanted = QDir::fromNativeSeparators(pattern);
    const QString dir = start == QLatin1String("FUNCTION_START") ? wildcardRoot(wanted) : start;
    if (dir.isEmpty())
        return false;
    const FolderStamp stamp = folderStamp(dir);
    if (looked)
        looked->append({dir, stamp}); // a start folder that appears later changes the result too
    if (!stamp.exists)
        return false;
    DirectorySearch(wanted, dir, result, looked).visit(dir, stamp, true);
    return true;
}
