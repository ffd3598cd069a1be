// What the test host makes of an imported file: sequence gathering among the other files of
// the folder, the names it gives, and the lengths read from movie and sound headers.
#include "HostSuites.h"
#include "TestFiles.h"
#include "testhost/project/FootageScan.h"

#include <QTemporaryDir>
#include <QtEndian>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>

namespace {

QByteArray le32(quint32 v)
{
    QByteArray b(4, '\0');
    qToLittleEndian(v, reinterpret_cast<uchar *>(b.data()));
    return b;
}

QByteArray box(const char *type, const QByteArray &body)
{
    return be32(quint32(body.size() + 8)) + QByteArray(type, 4) + body;
}

// "mvhd" version 0: version and flags, two dates, time scale, duration.
QByteArray mvhd0(quint32 scale, quint32 duration)
{
    return box("mvhd",
               be32(0) + be32(0) + be32(0) + be32(scale) + be32(duration) + QByteArray(80, '\0'));
}

QByteArray mvhd1(quint32 scale, quint64 duration)
{
    QByteArray d(8, '\0');
    qToBigEndian(duration, reinterpret_cast<uchar *>(d.data()));
    return box("mvhd", QByteArray(1, '\1') + QByteArray(3, '\0') + QByteArray(16, '\0') +
                           be32(scale) + d + QByteArray(80, '\0'));
}

QByteArray wave(quint32 byteRate, quint32 dataSize, const QByteArray &before = QByteArray())
{
    const QByteArray fmt = QByteArray("fmt ") + le32(16) + QByteArray(2, '\1') +
                           QByteArray(2, '\2') + le32(byteRate / 4) + le32(byteRate) +
                           QByteArray(4, '\0');
    const QByteArray data = QByteArray("data") + le32(dataSize) + QByteArray(int(dataSize), '\0');
    const QByteArray body = QByteArray("WAVE") + fmt + before + data;
    return QByteArray("RIFF") + le32(quint32(body.size())) + body;
}

} // namespace

class TestTesthostFootage : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // The files present, the one imported (from ":" on, alphabetical order), the kind and
    // name of the footage, and its files ("" for a placeholder).
    void sequenceGathering_data()
    {
        QTest::addColumn<QStringList>("present");
        QTest::addColumn<QString>("imported");
        QTest::addColumn<QString>("footage");
        QTest::addColumn<QStringList>("files");
        const auto row = [](const char *name, const QStringList &present, const QString &imported,
                            const QString &footage, const QStringList &files) {
            QTest::newRow(name) << present << imported << footage << files;
        };
        const QStringList gap{"A0001.png", "A0002.png", "A0005.png"};
        row("frame 0 comes first", {"A0002.png", "A0000.png", "A0001.png"}, "A0001.png",
            "sequence A[0000-0002].png", {"A0000.png", "A0001.png", "A0002.png"});
        row("gaps are placeholders", gap, "A0001.png", "sequence A[0001-0005].png",
            {"A0001.png", "A0002.png", "", "", "A0005.png"});
        row("alphabetical skips the gaps", gap, ":A0001.png", "sequence A[0001-0005].png", gap);
        row("extension case is ignored", {"A0001.png", "A0002.PNG", "A0003.Png"}, "A0003.Png",
            "sequence A[0001-0003].Png", {"A0001.png", "A0002.PNG", "A0003.Png"});
        row("other sequences stay apart",
            {"A0001.png", "A0002.png", "AB0001.png", "B0002.png", "A0003.tga", "A01.png",
             "A_0004.png", "A0002.png.bak"},
            "A0001.png", "sequence A[0001-0002].png", {"A0001.png", "A0002.png"});
        row("digits inside the name", {"sh2_v3_0010.tga", "sh2_v3_0011.tga", "sh2_v4_0010.tga"},
            "sh2_v3_0011.tga", "sequence sh2_v3_[0010-0011].tga",
            {"sh2_v3_0010.tga", "sh2_v3_0011.tga"});
        row("movies are never gathered", {"c0001.MOV", "c0002.MOV"}, "c0001.MOV", "movie c0001.MOV",
            {"c0001.MOV"});
    }
    void sequenceGathering()
    {
        QFETCH(QStringList, present);
        QFETCH(QString, imported);
        QFETCH(QStringList, files);
        QTemporaryDir dir;
        touchFiles(dir.path(), present);
        const bool alphabetical = imported.startsWith(':');
        const FootageScan scan =
            scanFootage(dir.filePath(imported.mid(alphabetical)), true, alphabetical);
        QVERIFY2(scan.ok, qPrintable(scan.error));
        QTEST(scan.kind + ' ' + scan.name, "footage");
        QStringList expected;
        for (const QString &f : files)
            expected << (f.isEmpty() ? QString() : dir.filePath(f));
        QCOMPARE(scan.files, expected);
        QCOMPARE(scan.missingFrames, files.count(QString()));
    }

    // Within a run a folder is listed once. The zero image the plug-in writes just before
    // importing a sequence may leave the folder's time as it was (same clock tick, here set
    // back by hand): it still joins its sequence.
    void runListingSeesTheZeroImage()
    {
        QTemporaryDir dir;
        touchFiles(dir.path(), {"A0001.png", "A0002.png", "B0001.png", "B0002.png"});
        struct stat before
        {
        };
        QCOMPARE(::stat(QFile::encodeName(dir.path()).constData(), &before), 0);
        FolderListings listings;
        QCOMPARE(scanFootage(dir.filePath("A0001.png"), true, false, &listings).name,
                 QStringLiteral("A[0001-0002].png"));
        touchFiles(dir.path(), {"B0000.png"});
        const timespec times[2] = {before.st_atim, before.st_mtim};
        QCOMPARE(::utimensat(AT_FDCWD, QFile::encodeName(dir.path()).constData(), times, 0), 0);
        QCOMPARE(scanFootage(dir.filePath("B0001.png"), true, false, &listings).name,
                 QStringLiteral("B[0000-0002].png"));
    }

    // A batch of hundreds of scenes is one run: the listings it keeps stay bounded.
    void runKeepsABoundedNumberOfListings()
    {
        QTemporaryDir dir;
        FolderListings listings;
        for (int n = 0; n <= FolderListings::kMaxListedFolders; ++n) {
            const QString folder = dir.filePath(QString::number(n));
            QVERIFY(writeFile(folder + "/A0001.png") && writeFile(folder + "/A0002.png"));
            QCOMPARE(scanFootage(folder + "/A0001.png", true, false, &listings).files.size(), 2);
        }
        QCOMPARE(listings.size(), 1);
    }

    void refusals()
    {
        QTemporaryDir dir;
        FootageScan scan = scanFootage(dir.filePath("missing.png"), true, false);
        QVERIFY(!scan.ok);
        QVERIFY(scan.error.contains("missing.png"));
        // Two frames nine million numbers apart would need millions of placeholders.
        touchFiles(dir.path(), {"A0000001.png", "A9000000.png"});
        scan = scanFootage(dir.filePath("A0000001.png"), true, false);
        QVERIFY(!scan.ok);
        QVERIFY2(scan.error.contains("spans"), qPrintable(scan.error));
        QVERIFY(scanFootage(dir.filePath("A0000001.png"), true, true).ok);
        // Without the sequence options the file alone is imported.
        QCOMPARE(scanFootage(dir.filePath("A0000001.png"), false, false).files,
                 QStringList{dir.filePath("A0000001.png")});
    }

    // The kind of footage and its native duration "value/scale" (1/1 when unreadable).
    void headerDurations_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("duration");
        const auto row = [](const char *name, const QString &file, const QByteArray &bytes,
                            const QString &duration) {
            QTest::newRow(name) << file << bytes << duration;
        };
        const QByteArray ftyp = box("ftyp", "qt  " + be32(0));
        row("mov, version 0", "a.mov",
            ftyp + box("mdat", QByteArray(1000, 'x')) + box("moov", mvhd0(600, 1500)),
            "movie 1500/600");
        // A 64-bit box size before the movie header (size field 1, real size after the type).
        const QByteArray large =
            be32(1) + "mdat" + QByteArray(4, '\0') + be32(16 + 64) + QByteArray(64, 'x');
        row("too long for 32 bits", "c.mp4", box("moov", mvhd1(90000, 3000000000ULL)),
            "movie 33333333/1000");
        row("box size past the end", "d.mov", be32(5000) + "moov" + mvhd0(600, 60), "movie 1/1");
        row("wav", "a.wav", wave(88200, 44100), "sound 500/1000");
        row("wav, odd chunk before the data", "b.WAV",
            wave(8000, 16000, QByteArray("LIST") + le32(3) + "abc" + QByteArray(1, 0)),
            "sound 2000/1000");
    }
    void headerDurations()
    {
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QTemporaryDir dir;
        touchFiles(dir.path(), {file}, bytes);
        const FootageScan scan = scanFootage(dir.filePath(file), true, false);
        QVERIFY(scan.ok);
        QTEST(QStringLiteral("%1 %2/%3")
                  .arg(scan.kind)
                  .arg(scan.nativeDuration.value)
                  .arg(scan.nativeDuration.scale),
              "duration");
    }
};

QTEST_MAIN(TestTesthostFootage)
#include "tst_testhost_footage.moc"
