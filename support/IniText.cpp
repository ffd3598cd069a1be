#include "support/IniText.h"

#include <QDataStream>
#include <QDateTime>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <QTextCodec>
#include <QTimeZone>
#include <QVector>
#include <QtEndian>

#include <cstring>

// The rules below are Qt's own (QSettings' INI reader and writer in Qt 5.15), kept step for step
// so that both sides agree on every file; where Qt's code has an odd turn, so does this.

namespace {

const char kHexDigits[] = "0123456789ABCDEF";
#ifdef Q_OS_WIN
const char kEol[] = "\r\n";
#else
const char kEol[] = "\n";
#endif

bool isAsciiAlphanumeric(uint c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

bool isHexDigit(uint c)
{
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

// ---- writing ---------------------------------------------------------------------------------

void appendEscapedKey(const QString &key, QByteArray &out)
{
    for (const QChar c : key) {
        const uint ch = c.unicode();
        if (ch == '/') {
            out += '\\';
        } else if (isAsciiAlphanumeric(ch) || ch == '_' || ch == '-' || ch == '.') {
            out += char(ch);
        } else if (ch <= 0xFF) {
            out += '%';
            out += kHexDigits[ch / 16];
            out += kHexDigits[ch % 16];
        } else {
            out += "%U";
            for (int shift = 12; shift >= 0; shift -= 4)
                out += kHexDigits[(ch >> shift) & 0xF];
        }
    }
}

void appendEscapedString(const QString &text, QByteArray &out)
{
    bool needsQuotes = false;
    bool escapeNextIfDigit = false; // after "\x41" a following "b" would extend the number
    const int start = out.size();
    for (const QChar c : text) {
        const uint ch = c.unicode();
        if (ch == ';' || ch == ',' || ch == '=')
            needsQuotes = true;
        if (escapeNextIfDigit && isHexDigit(ch)) {
            out += "\\x" + QByteArray::number(ch, 16);
            continue;
        }
        escapeNextIfDigit = false;
        switch (ch) {
        case '\0':
            out += "\\0";
            escapeNextIfDigit = true;
            break;
        case '\a':
            out += "\\a";
            break;
        case '\b':
            out += "\\b";
            break;
        case '\f':
            out += "\\f";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\v':
            out += "\\v";
            break;
        case '"':
        case '\\':
            out += '\\';
            out += char(ch);
            break;
        default:
            if (ch <= 0x1F || ch >= 0x7F) {
                out += "\\x" + QByteArray::number(ch, 16);
                escapeNextIfDigit = true;
            } else {
                out += char(ch);
            }
        }
    }
    if (needsQuotes ||
        (start < out.size() && (out.at(start) == ' ' || out.at(out.size() - 1) == ' '))) {
        out.insert(start, '"');
        out += '"';
    }
}

QString variantToString(const QVariant &v)
{
    switch (v.userType()) {
    case QMetaType::UnknownType:
        return QStringLiteral("@Invalid()");
    case QMetaType::QByteArray: {
        const QByteArray a = v.toByteArray();
        return QLatin1String("@ByteArray(") + QLatin1String(a.constData(), a.size()) +
               QLatin1Char(')');
    }
    case QMetaType::QString:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Bool:
    case QMetaType::Double:
    case QMetaType::QKeySequence: {
        QString result = v.toString();
        if (result.contains(QChar::Null))
            return QLatin1String("@String(") + result + QLatin1Char(')');
        if (result.startsWith(QLatin1Char('@')))
            result.prepend(QLatin1Char('@'));
        return result;
    }
    case QMetaType::QRect: {
        const QRect r = v.toRect();
        return QString::asprintf("@Rect(%d %d %d %d)", r.x(), r.y(), r.width(), r.height());
    }
    case QMetaType::QSize: {
        const QSize s = v.toSize();
        return QString::asprintf("@Size(%d %d)", s.width(), s.height());
    }
    case QMetaType::QPoint: {
        const QPoint p = v.toPoint();
        return QString::asprintf("@Point(%d %d)", p.x(), p.y());
    }
    default: {
        const bool dateTime = v.userType() == QMetaType::QDateTime;
        QByteArray a;
        {
            QDataStream s(&a, QIODevice::WriteOnly);
            s.setVersion(dateTime ? QDataStream::Qt_5_6 : QDataStream::Qt_4_0);
            s << v;
        }
        return QLatin1String(dateTime ? "@DateTime(" : "@Variant(") +
               QLatin1String(a.constData(), a.size()) + QLatin1Char(')');
    }
    }
}

void appendEscapedStringList(const QVariantList &values, QByteArray &out)
{
    // An empty list is written as "@Invalid()", which reads back as an empty list's twin.
    if (values.isEmpty()) {
        out += "@Invalid()";
        return;
    }
    for (int i = 0; i < values.size(); ++i) {
        if (i != 0)
            out += ", ";
        appendEscapedString(variantToString(values.at(i)), out);
    }
}

// ---- reading ---------------------------------------------------------------------------------

enum CharTrait { Space = 0x1, Special = 0x2 };

int traits(char c)
{
    switch (c) {
    case '\t':
    case ' ':
        return Space;
    case '\n':
    case '\r':
        return Space | Special;
    case '"':
    case ';':
    case '=':
    case '\\':
        return Special;
    default:
        return 0;
    }
}

// One logical line from dataPos on: leading blanks and comment lines skipped, a quoted part may
// hold line breaks, a backslash escapes the next byte. equalsPos is the first "=" outside quotes.
bool readLine(const QByteArray &data, int &dataPos, int &lineStart, int &lineLen, int &equalsPos)
{
    const int dataLen = data.size();
    bool inQuotes = false;
    equalsPos = -1;
    lineStart = dataPos;
    while (lineStart < dataLen && (traits(data.at(lineStart)) & Space))
        ++lineStart;

    int i = lineStart;
    bool lineEnded = false;
    while (i < dataLen && !lineEnded) {
        char ch = data.at(i++);
        if (!(traits(ch) & Special))
            continue;
        if (ch == '=') {
            if (!inQuotes && equalsPos == -1)
                equalsPos = i - 1;
        } else if (ch == '\n' || ch == '\r') {
            if (i == lineStart + 1) {
                ++lineStart;
            } else if (!inQuotes) {
                --i;
                lineEnded = true;
            }
        } else if (ch == '\\') {
            if (i < dataLen) {
                const char escaped = data.at(i++);
                if (i < dataLen) {
                    const char next = data.at(i);
                    if ((escaped == '\n' && next == '\r') || (escaped == '\r' && next == '\n'))
                        ++i;
                }
            }
        } else if (ch == '"') {
            inQuotes = !inQuotes;
        } else { // ';'
            if (i == lineStart + 1) {
                while (i < dataLen && ((ch = data.at(i)) != '\n' && ch != '\r'))
                    ++i;
                while (i < dataLen && (traits(data.at(i)) & Space))
                    ++i;
                lineStart = i;
            } else if (!inQuotes) {
                --i;
                lineEnded = true;
            }
        }
    }
    dataPos = i;
    lineLen = i - lineStart;
    return lineLen > 0;
}

void appendUnescapedKey(const QByteArray &key, int from, int to, QString &result)
{
    int i = from;
    while (i < to) {
        int ch = uchar(key.at(i));
        if (ch == '\\') {
            result += QLatin1Char('/');
            ++i;
            continue;
        }
        if (ch != '%' || i == to - 1) {
            result += QLatin1Char(char(ch));
            ++i;
            continue;
        }
        int numDigits = 2;
        int firstDigitPos = i + 1;
        if (key.at(i + 1) == 'U') {
            ++firstDigitPos;
            numDigits = 4;
        }
        bool ok = firstDigitPos + numDigits <= to;
        if (ok)
            ch = key.mid(firstDigitPos, numDigits).toInt(&ok, 16);
        if (!ok) {
            result += QLatin1Char('%');
            ++i;
            continue;
        }
        result += QChar(ushort(ch));
        i = firstDigitPos + numDigits;
    }
}

void chopTrailingSpaces(QString &text, int limit)
{
    int n = text.size() - 1;
    while (n >= limit && (text.at(n) == QLatin1Char(' ') || text.at(n) == QLatin1Char('\t')))
        text.truncate(n--);
}

const char *escapeCodeOf(char ch)
{
    static const char codes[][2] = {{'a', '\a'}, {'b', '\b'},  {'f', '\f'}, {'n', '\n'},
                                    {'r', '\r'}, {'t', '\t'},  {'v', '\v'}, {'"', '"'},
                                    {'?', '?'},  {'\'', '\''}, {'\\', '\\'}};
    for (const auto &code : codes) {
        if (code[0] == ch)
            return &code[1];
    }
    return nullptr;
}

// A value: quoted parts, escapes, and "a, b" lists (true when the value is a list). Raw bytes
// are Latin-1, or UTF-8 in a file that begins with a byte order mark.
bool readValue(const QByteArray &str, int from, int to, QString &text, QStringList &list,
               QTextCodec *codec)
{
    enum State { SkipSpaces, Normal, HexEscape, OctEscape, End };
    bool isList = false;
    bool inQuotes = false;
    bool quoted = false;
    quint32 escapeVal = 0;
    int chopLimit = 0;
    int i = from;
    State state = SkipSpaces;
    while (state != End) {
        switch (state) {
        case SkipSpaces:
            while (i < to && (str.at(i) == ' ' || str.at(i) == '\t'))
                ++i;
            state = Normal;
            break;
        case Normal: {
            chopLimit = text.size();
            state = End;
            bool trailingChop = true;
            while (i < to && state == End) {
                const char c = str.at(i);
                if (c == '\\') {
                    ++i;
                    if (i >= to) {
                        trailingChop = false;
                        break;
                    }
                    const char ch = str.at(i++);
                    if (const char *code = escapeCodeOf(ch)) {
                        text += QLatin1Char(*code);
                        state = Normal;
                        break;
                    }
                    if (ch == 'x') {
                        escapeVal = 0;
                        if (i >= to) {
                            trailingChop = false;
                            break;
                        }
                        if (isHexDigit(uchar(str.at(i)))) {
                            state = HexEscape;
                            break;
                        }
                    } else if (ch >= '0' && ch <= '7') {
                        escapeVal = quint32(ch - '0');
                        state = OctEscape;
                        break;
                    } else if (ch == '\n' || ch == '\r') {
                        if (i < to) {
                            const char next = str.at(i);
                            if ((next == '\n' || next == '\r') && next != ch)
                                ++i;
                        }
                    } // any other escaped character is dropped
                    chopLimit = text.size();
                } else if (c == '"') {
                    ++i;
                    quoted = true;
                    inQuotes = !inQuotes;
                    if (!inQuotes)
                        state = SkipSpaces;
                } else if (c == ',' && !inQuotes) {
                    if (!quoted)
                        chopTrailingSpaces(text, chopLimit);
                    if (!isList) {
                        isList = true;
                        list.clear();
                    }
                    list.append(text);
                    text.clear();
                    quoted = false;
                    ++i;
                    state = SkipSpaces;
                } else {
                    int j = i + 1;
                    while (j < to && str.at(j) != '\\' && str.at(j) != '"' && str.at(j) != ',')
                        ++j;
                    text += codec ? codec->toUnicode(str.constData() + i, j - i)
                                  : QString::fromLatin1(str.constData() + i, j - i);
                    i = j;
                }
            }
            if (state == End && trailingChop && !quoted)
                chopTrailingSpaces(text, chopLimit);
            break;
        }
        case HexEscape:
        case OctEscape: {
            const bool hex = state == HexEscape;
            state = End;
            if (i >= to) {
                text += QChar(ushort(escapeVal));
                break;
            }
            char ch = str.at(i);
            if (hex && ch >= 'a')
                ch -= 'a' - 'A';
            const char *digit = ch ? std::strchr(kHexDigits, ch) : nullptr;
            const bool more = hex ? digit != nullptr : (ch >= '0' && ch <= '7');
            if (more) {
                escapeVal = hex ? (escapeVal << 4) + quint32(digit - kHexDigits)
                                : (escapeVal << 3) + quint32(ch - '0');
                ++i;
                state = hex ? HexEscape : OctEscape;
            } else {
                text += QChar(ushort(escapeVal));
                state = Normal;
            }
            break;
        }
        case End:
            break;
        }
    }
    if (isList)
        list.append(text);
    return isList;
}

QStringList splitArgs(const QString &s, int idx)
{
    QStringList result;
    QString item;
    for (++idx; idx < s.size(); ++idx) {
        const QChar c = s.at(idx);
        if (c == QLatin1Char(')')) {
            result.append(item);
        } else if (c == QLatin1Char(' ')) {
            result.append(item);
            item.clear();
        } else {
            item.append(c);
        }
    }
    return result;
}

// Types whose stream form has no element count: safe to decode from a file of any origin.
bool decodableVariant(const QByteArray &payload, bool dateTime)
{
    if (payload.size() < 4)
        return true; // too short: the stream gives an invalid value
    const quint32 type = qFromBigEndian<quint32>(payload.constData());
    if (dateTime)
        return type == QMetaType::QDateTime;
    // Ids as streamed in the Qt 4.0 format: core types, QFont 64, QColor 67, QKeySequence 76,
    // and the former extended types 129 to 135 (long, short, char and float kinds).
    static const quint32 safe[] = {0,  1,  2,  3,  4,  5,  6,  7,  10, 12, 14, 15, 16,
                                   17, 19, 20, 21, 22, 23, 24, 25, 26, 64, 67, 76};
    for (const quint32 id : safe) {
        if (type == id)
            return true;
    }
    return type >= 129 && type <= 135;
}

// Qt's stream writer crashes on a time stamp of a time zone it does not know, which a forged
// "@DateTime(...)" gives; such a value would take the next save of the file down with it.
bool writable(const QVariant &value)
{
    if (value.userType() != QMetaType::QDateTime)
        return true;
    const QDateTime stamp = value.toDateTime();
    return stamp.timeSpec() != Qt::TimeZone || stamp.timeZone().isValid();
}

QVariant stringToVariant(const QString &s)
{
    if (s.startsWith(QLatin1Char('@'))) {
        if (s.endsWith(QLatin1Char(')'))) {
            if (s.startsWith(QLatin1String("@ByteArray("))) {
                return QVariant(s.midRef(11, s.size() - 12).toLatin1());
            } else if (s.startsWith(QLatin1String("@String("))) {
                return QVariant(s.midRef(8, s.size() - 9).toString());
            } else if (s.startsWith(QLatin1String("@Variant(")) ||
                       s.startsWith(QLatin1String("@DateTime("))) {
                const bool dateTime = s.at(1) == QLatin1Char('D');
                QByteArray a = s.midRef(dateTime ? 10 : 9).toLatin1();
                if (!decodableVariant(a, dateTime))
                    return QVariant();
                QDataStream stream(&a, QIODevice::ReadOnly);
                stream.setVersion(dateTime ? QDataStream::Qt_5_6 : QDataStream::Qt_4_0);
                QVariant result;
                stream >> result;
                return writable(result) ? result : QVariant();
            } else if (s.startsWith(QLatin1String("@Rect("))) {
                const QStringList args = splitArgs(s, 5);
                if (args.size() == 4)
                    return QVariant(
                        QRect(args[0].toInt(), args[1].toInt(), args[2].toInt(), args[3].toInt()));
            } else if (s.startsWith(QLatin1String("@Size("))) {
                const QStringList args = splitArgs(s, 5);
                if (args.size() == 2)
                    return QVariant(QSize(args[0].toInt(), args[1].toInt()));
            } else if (s.startsWith(QLatin1String("@Point("))) {
                const QStringList args = splitArgs(s, 6);
                if (args.size() == 2)
                    return QVariant(QPoint(args[0].toInt(), args[1].toInt()));
            } else if (s == QLatin1String("@Invalid()")) {
                return QVariant();
            }
        }
        if (s.startsWith(QLatin1String("@@")))
            return QVariant(s.mid(1));
    }
    return QVariant(s);
}

// A list whose items all are plain strings stays a string list; one "@" item makes every item
// a value of its own.
QVariant listValue(const QStringList &items)
{
    QStringList strings = items;
    for (QString &item : strings) {
        if (!item.startsWith(QLatin1Char('@')))
            continue;
        if (item.size() >= 2 && item.at(1) == QLatin1Char('@')) {
            item.remove(0, 1);
            continue;
        }
        QVariantList values;
        values.reserve(items.size());
        for (const QString &each : items)
            values.append(stringToVariant(each));
        return values;
    }
    return strings;
}

QString sectionPrefix(QByteArray name)
{
    name = name.trimmed();
    if (name.compare("general", Qt::CaseInsensitive) == 0)
        return QString();
    QString prefix;
    if (name.compare("%general", Qt::CaseInsensitive) == 0)
        prefix = QLatin1String(name.constData() + 1);
    else
        appendUnescapedKey(name, 0, name.size(), prefix);
    return prefix + QLatin1Char('/');
}

} // namespace

QByteArray IniText::write(const Map &map)
{
    // Section -> its keys, both in name order: the order QSettings gives a file it writes anew.
    QMap<QString, Map> sections;
    for (auto it = map.cbegin(); it != map.cend(); ++it) {
        const int slash = it.key().indexOf(QLatin1Char('/'));
        const QString section = slash < 0 ? QString() : it.key().left(slash);
        sections[section].insert(it.key().mid(slash + 1), it.value());
    }
    QByteArray out;
    for (auto s = sections.cbegin(); s != sections.cend(); ++s) {
        QByteArray header;
        appendEscapedKey(s.key(), header);
        if (header.isEmpty())
            header = "[General]";
        else if (header.compare("general", Qt::CaseInsensitive) == 0)
            header = "[%General]";
        else
            header = '[' + header + ']';
        if (s != sections.cbegin())
            out += kEol;
        out += header;
        out += kEol;
        for (auto k = s.value().cbegin(); k != s.value().cend(); ++k) {
            appendEscapedKey(k.key(), out);
            out += '=';
            const QVariant &value = k.value();
            // A one-item variant list is written as its item, as Qt does.
            if (value.userType() == QMetaType::QStringList ||
                (value.userType() == QMetaType::QVariantList && value.toList().size() != 1))
                appendEscapedStringList(value.toList(), out);
            else
                appendEscapedString(variantToString(value), out);
            out += kEol;
        }
    }
    return out;
}

IniText::Map IniText::read(const QByteArray &data)
{
    // A UTF-8 byte order mark makes Qt read the raw bytes of values as UTF-8 (else Latin-1) and
    // the lines from after it, yet the lines before the first section from the very start:
    // there the mark stays part of the first key.
    QTextCodec *codec = nullptr;
    int pos = 0;
    if (data.startsWith("\xef\xbb\xbf")) {
        codec = QTextCodec::codecForName("UTF-8");
        pos = 3;
    }
    // Qt reads the sections in the order of their names, not of the file: "[a] b=1" and, in
    // General, "a\b=2" both give the key a/b, and the one of the later section name wins.
    struct Line
    {
        int start;
        int length;
        int equals;
    };
    struct Section
    {
        QString prefix; // as first spelled
        QVector<Line> lines;
    };
    QMap<QString, Section> sections;
    auto current = sections.insert(QString(), Section());
    int lineStart = 0;
    int lineLen = 0;
    int equalsPos = -1;
    bool inHead = true; // before the first section
    const auto readHeadFromStart = [&](int end) {
        const QByteArray head = data.left(end);
        int at = 0;
        int start = 0;
        int length = 0;
        int equals = -1;
        while (readLine(head, at, start, length, equals))
            sections.first().lines.append({start, length, equals});
    };
    while (readLine(data, pos, lineStart, lineLen, equalsPos)) {
        if (data.at(lineStart) != '[') {
            if (!inHead || !codec)
                current->lines.append({lineStart, lineLen, equalsPos});
            continue;
        }
        if (inHead && codec)
            readHeadFromStart(lineStart);
        inHead = false;
        const int close = data.indexOf(']', lineStart);
        const bool closed = close != -1 && close < lineStart + lineLen;
        const QString prefix =
            sectionPrefix(data.mid(lineStart + 1, closed ? close - lineStart - 1 : lineLen - 1));
#ifdef Q_OS_WIN
        const QString name = prefix.toLower(); // section names ignore case there
#else
        const QString name = prefix;
#endif
        current = sections.find(name);
        if (current == sections.end())
            current = sections.insert(name, Section{prefix, {}});
    }
    if (inHead && codec)
        readHeadFromStart(data.size());

    Map map;
    for (const Section &section : qAsConst(sections)) {
        for (const Line &line : section.lines) {
            if (line.equals == -1)
                continue;
            int keyEnd = line.equals;
            while (keyEnd > line.start &&
                   (data.at(keyEnd - 1) == ' ' || data.at(keyEnd - 1) == '\t'))
                --keyEnd;
            QString key = section.prefix;
            appendUnescapedKey(data, line.start, keyEnd, key);
            QString text;
            text.reserve(line.start + line.length - line.equals); // an empty value is not null
            QStringList list;
            if (readValue(data, line.equals + 1, line.start + line.length, text, list, codec))
                map.insert(key, listValue(list));
            else
                map.insert(key, stringToVariant(text));
        }
    }
    return map;
}
