// The plug-in property list the build generates for the Windows module, decoded here from its
// bytes as the host reads them, independently of the generator.

#include <QtTest>

namespace {

QByteArray readFile(const char *name)
{
    QFile f(QStringLiteral(CELLKIT_PIPL_DIR "/") + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Four-character codes are stored with their bytes reversed.
QString readCode(QDataStream &in)
{
    QByteArray c(4, '\0');
    in.readRawData(c.data(), 4);
    std::reverse(c.begin(), c.end());
    return QString::fromLatin1(c);
}

QByteArray padded(QByteArray value)
{
    return value.append(QByteArray((4 - value.size() % 4) % 4, '\0'));
}

} // namespace

class TestHostPipl : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        m_bytes = readFile("cellKit4After.pipl");
        QDataStream in(m_bytes);
        in.setByteOrder(QDataStream::LittleEndian);
        quint16 reserved = 0;
        quint32 listVersion = 1, count = 0;
        in >> reserved >> listVersion >> count;
        QCOMPARE(reserved, quint16(1));
        QCOMPARE(listVersion, 0u);
        QCOMPARE(count, 7u); // the host stops at a property it cannot size: none may be extra
        for (quint32 i = 0; i < count; ++i) {
            QCOMPARE(readCode(in), QStringLiteral("8BIM"));
            const QString key = readCode(in);
            quint32 zero = 1, length = 0;
            in >> zero >> length;
            QVERIFY2(zero == 0 && length % 4 == 0 && length <= 64, qPrintable(key));
            QByteArray value(int(length), '\0');
            QCOMPARE(in.readRawData(value.data(), int(length)), int(length));
            QVERIFY2(!m_values.contains(key), qPrintable(key));
            m_values.insert(key, value);
        }
        QVERIFY(in.atEnd() && in.status() == QDataStream::Ok);
    }

    void properties_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("value");
        const QStringList v = QStringLiteral(CELLKIT_VERSION).split('.');
        QByteArray version(4, '\0');
        qToLittleEndian(v[0].toUInt() << 16 | v[1].toUInt() << 8 | v[2].toUInt(), version.data());
        const QByteArray entry = padded(QByteArray("EntryPointFunc", 15));
        QTest::newRow("kind") << "kind" << QByteArray("xgEA");
        QTest::newRow("name") << "name"
                              << padded("\x07"
                                        "cellKit");
        QTest::newRow("category") << "catg"
                                  << padded("\x09"
                                            "Quillmark");
        QTest::newRow("version") << "vers" << version;
        QTest::newRow("64-bit Windows") << "8664" << entry;
        QTest::newRow("macOS Intel") << "mi64" << entry;
        QTest::newRow("macOS Apple silicon") << "ma64" << entry;
    }

    void properties()
    {
        QFETCH(QString, key);
        QFETCH(QByteArray, value);
        QCOMPARE(m_values.value(key), value);
    }

private:
    QByteArray m_bytes;
    QMap<QString, QByteArray> m_values;
};

QTEST_GUILESS_MAIN(TestHostPipl)
#include "tst_host_pipl.moc"
