// The plug-in property list the build generates for the Windows module, decoded here from its
// bytes as the host reads them, independently of the generator.

#include <QtTest>

#include <map>

namespace {

struct Decoded
{
    QString error;
    QStringList keys; // in file order
    std::map<QString, QByteArray> values;
};

quint32 le32(const QByteArray &b, int at)
{
    return quint32(quint8(b[at])) | quint32(quint8(b[at + 1])) << 8 |
           quint32(quint8(b[at + 2])) << 16 | quint32(quint8(b[at + 3])) << 24;
}

// Four-character codes are stored with their bytes reversed.
QString code(const QByteArray &b, int at)
{
    QByteArray c = b.mid(at, 4);
    std::reverse(c.begin(), c.end());
    return QString::fromLatin1(c);
}

Decoded decode(const QByteArray &b)
{
    Decoded d;
    if (b.size() < 10 || b[0] != 1 || b[1] != 0 || le32(b, 2) != 0)
        return {QStringLiteral("bad list header"), {}, {}};
    const quint32 count = le32(b, 6);
    int at = 10;
    for (quint32 i = 0; i < count; ++i) {
        if (at + 16 > b.size())
            return {QStringLiteral("property %1 cut short").arg(i), {}, {}};
        const quint32 length = le32(b, at + 12);
        if (code(b, at) != "8BIM" || le32(b, at + 8) != 0 || length % 4 ||
            at + 16 + length > quint32(b.size()))
            return {QStringLiteral("bad header of property %1").arg(i), {}, {}};
        d.keys << code(b, at + 4);
        d.values[d.keys.last()] = b.mid(at + 16, int(length));
        at += 16 + int(length);
    }
    if (at != b.size())
        d.error = QStringLiteral("%1 bytes after the last property").arg(b.size() - at);
    return d;
}

QByteArray readFile(const QString &name)
{
    QFile f(QStringLiteral(CELLKIT_PIPL_DIR "/") + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The .rc data block: 16-bit little-endian words.
QByteArray rcBytes(const QByteArray &rc)
{
    QByteArray bytes;
    const QRegularExpression word(QStringLiteral("0x([0-9a-f]{4})"));
    const int begin = rc.indexOf("\nBEGIN\n");
    auto it = word.globalMatch(QString::fromLatin1(rc.mid(begin)));
    while (it.hasNext()) {
        const uint w = it.next().captured(1).toUInt(nullptr, 16);
        bytes.append(char(w & 0xff)).append(char(w >> 8));
    }
    return bytes;
}

QByteArray padded(QByteArray value)
{
    while (value.size() % 4)
        value.append('\0');
    return value;
}

QByteArray pascal(const char *text)
{
    return padded(char(qstrlen(text)) + QByteArray(text));
}

QByteArray cString(const char *text)
{
    return padded(QByteArray(text, int(qstrlen(text)) + 1));
}

} // namespace

class TestHostPipl : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        m_bytes = readFile(QStringLiteral("cellKit4After.pipl"));
        QVERIFY2(!m_bytes.isEmpty(), "the build did not generate cellKit4After.pipl");
        m_decoded = decode(m_bytes);
        QVERIFY2(m_decoded.error.isEmpty(), qPrintable(m_decoded.error));
    }

    // What the resource compiler reads is what the host gets: the same bytes.
    void resourceScriptCarriesTheBytes()
    {
        const QByteArray rc = readFile(QStringLiteral("cellKit4After.rc"));
        QVERIFY(rc.contains("\n16000 PiPL DISCARDABLE\nBEGIN\n"));
        QCOMPARE(rcBytes(rc), m_bytes);
    }

    void properties_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("value");
        const QStringList v = QStringLiteral(CELLKIT_VERSION).split('.');
        const quint32 version =
            v.value(0).toUInt() << 16 | v.value(1).toUInt() << 8 | v.value(2).toUInt();
        QByteArray packed(4, '\0');
        qToLittleEndian(version, packed.data());
        QTest::newRow("kind") << "kind" << QByteArray("xgEA");
        QTest::newRow("name") << "name" << pascal("cellKit");
        QTest::newRow("category") << "catg" << pascal("Quillmark");
        QTest::newRow("version") << "vers" << packed;
        QTest::newRow("64-bit Windows") << "8664" << cString("EntryPointFunc");
        QTest::newRow("macOS Intel") << "mi64" << cString("EntryPointFunc");
        QTest::newRow("macOS Apple silicon") << "ma64" << cString("EntryPointFunc");
    }

    void properties()
    {
        QFETCH(QString, key);
        QFETCH(QByteArray, value);
        QCOMPARE(m_decoded.keys.count(key), 1);
        QCOMPARE(m_decoded.values[key], value);
    }

    // The host stops at the first property it does not know the size of: none may be extra.
    void nothingElse() { QCOMPARE(m_decoded.keys.size(), 7); }

private:
    QByteArray m_bytes;
    Decoded m_decoded;
};

QTEST_GUILESS_MAIN(TestHostPipl)
#include "tst_host_pipl.moc"
