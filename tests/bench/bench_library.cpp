// Times the asset library index over 200,000 files in 2,000 folders: the scan next to a plain
// recursive listing of the same tree, a refresh when nothing changed and one after a file was
// added, a file removed and a folder added, 10,000 exact look-ups through the index, 100
// wildcard look-ups, and the same 10,000 exact look-ups as a walk over the records. Prints the
// figures and checks that the refreshed index is the one a new scan gives and that the index
// and the walk agree; asserts nothing about time.
//
//   bench_library [runs]      (default 3 runs; the best run of each timing is reported)
#include "scenelist/LibraryIndex.h"
#include "support/ProductionValues.h"

#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

#include <utime.h>

namespace {

constexpr int kGroups = 20;
constexpr int kFoldersPerGroup = 100; // 2,000 folders
constexpr int kFilesPerFolder = 100;  // 200,000 files
constexpr int kDistinctNames = 50000; // each name is in four folders: the first one wins
constexpr int kExactLookups = 10000;
constexpr int kWildcardLookups = 100;
constexpr int kWalkLookups = 1000;

QString assetName(int k)
{
    return QStringLiteral("asset_%1.%2")
        .arg(k, 5, 10, QLatin1Char('0'))
        .arg(k % 2 ? QStringLiteral("png") : QStringLiteral("psd"));
}

bool buildTree(const QString &root)
{
    for (int f = 0; f < kGroups * kFoldersPerGroup; ++f) {
        const QString folder = QStringLiteral("%1/G%2/F%3")
                                   .arg(root)
                                   .arg(f / kFoldersPerGroup, 2, 10, QLatin1Char('0'))
                                   .arg(f % kFoldersPerGroup, 3, 10, QLatin1Char('0'));
        if (!QDir().mkpath(folder))
            return false;
        for (int i = 0; i < kFilesPerFolder; ++i) {
            QFile file(folder + QLatin1Char('/') +
                       assetName((f * kFilesPerFolder + i) % kDistinctNames));
            if (!file.open(QIODevice::WriteOnly))
                return false;
        }
    }
    return true;
}

// Names as a user types them: upper case; one in ten not in the library.
QStringList exactNames()
{
    QStringList names;
    for (int i = 0; i < kExactLookups; ++i) {
        const int k = (i * 7919) % kDistinctNames;
        names << (i % 10 == 9 ? QStringLiteral("missing_%1.png").arg(i) : assetName(k).toUpper());
    }
    return names;
}

QStringList wildcardNames()
{
    QStringList names;
    for (int i = 0; i < kWildcardLookups; ++i) {
        names << (i % 10 == 9
                      ? QStringLiteral("*_%1?.P*").arg(i, 3, 10, QLatin1Char('0'))
                      : QStringLiteral("ASSET_%1*.PNG").arg(i * 37, 4, 10, QLatin1Char('0')));
    }
    return names;
}

// Folder times an hour back: a folder changed within two seconds of its reading would be read
// again by every refresh.
void backdate(const QString &root)
{
    const auto past = time_t(QDateTime::currentSecsSinceEpoch() - 3600);
    const utimbuf times{past, past};
    QDirIterator it(root, QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        ::utime(QFile::encodeName(it.next()).constData(), &times);
}

bool sameIndex(const LibraryIndex &a, const LibraryIndex &b)
{
    if (a.folders() != b.folders() || a.recordCount() != b.recordCount())
        return false;
    for (int i = 0; i < a.recordCount(); ++i) {
        if (a.recordFolder(i) != b.recordFolder(i) || a.recordName(i) != b.recordName(i))
            return false;
    }
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const int runs = runsArgument(argc, argv, 3);

    QTemporaryDir tmp;
    QElapsedTimer build;
    build.start();
    if (!tmp.isValid() || !buildTree(tmp.path())) {
        std::fprintf(stderr, "cannot build the library tree\n");
        return 1;
    }
    std::printf("library: %d files in %d folders (built in %.1f s)\n",
                kGroups * kFoldersPerGroup * kFilesPerFolder, kGroups * kFoldersPerGroup,
                build.elapsed() / 1000.0);

    int listed = 0;
    const double listing = bestMilliseconds(runs, [&] { listed = plainListing(tmp.path()); });
    LibraryIndex index;
    const QStringList filters{QStringLiteral("*.png"), QStringLiteral("*.psd"),
                              QStringLiteral("*.mov")};
    const double scan = bestMilliseconds(runs, [&] {
        index.collect({tmp.path()}, LibraryIndex::depthForRecursionIndex(3), filters,
                      ProductionValues());
    });
    std::printf("plain recursive listing: %9.1f ms (%d files)\n", listing, listed);
    std::printf("library scan:            %9.1f ms (%d records, %d folders) = %.2fx the listing\n",
                scan, index.recordCount(), int(index.folders().size()), scan / listing);

    backdate(tmp.path());
    index.collect({tmp.path()}, 99, filters, ProductionValues());
    int reads = index.folderReads();
    const double unchanged = bestMilliseconds(
        runs, [&] { index.refresh({tmp.path()}, 99, filters, ProductionValues()); });
    std::printf("refresh, nothing changed: %9.1f ms (%d folders read)\n", unchanged,
                index.folderReads() - reads);
    const QString folder = tmp.path() + QStringLiteral("/G05/F050/");
    QFile(folder + QStringLiteral("added.png")).open(QIODevice::WriteOnly);
    QFile::remove(tmp.path() + QStringLiteral("/G10/F010/") + assetName(101000 % kDistinctNames));
    QDir().mkpath(tmp.path() + QStringLiteral("/G19/NEW"));
    QFile(tmp.path() + QStringLiteral("/G19/NEW/new.psd")).open(QIODevice::WriteOnly);
    reads = index.folderReads();
    const double changed =
        bestMilliseconds(1, [&] { index.refresh({tmp.path()}, 99, filters, ProductionValues()); });
    std::printf("refresh after 3 changes: %9.1f ms (%d folders read)\n", changed,
                index.folderReads() - reads);
    LibraryIndex fresh;
    fresh.collect({tmp.path()}, 99, filters, ProductionValues());
    if (!sameIndex(index, fresh)) {
        std::printf("MISMATCH between the refreshed index and a new scan\n");
        return 1;
    }
    std::printf("refreshed index and new scan agree (%d records)\n", fresh.recordCount());

    const QStringList exact = exactNames();
    QVector<QString> hashed(exact.size());
    QStringList results;
    const double lookups = bestMilliseconds(runs, [&] {
        for (int i = 0; i < exact.size(); ++i) {
            index.findFiles(exact.at(i), &results);
            hashed[i] = results.value(0);
        }
    });
    std::printf("%d exact look-ups:    %9.3f ms\n", kExactLookups, lookups);

    const QStringList wildcards = wildcardNames();
    int hits = 0;
    const double wild = bestMilliseconds(runs, [&] {
        hits = 0;
        for (const QString &name : wildcards) {
            index.findFiles(name, &results);
            hits += results.size();
        }
    });
    std::printf("%d wildcard look-ups:   %9.1f ms (%d hits)\n", kWildcardLookups, wild, hits);

    // The walk reads every record for each name: the first kWalkLookups names are enough.
    QVector<QString> walked(kWalkLookups);
    const double walk = bestMilliseconds(1, [&] {
        for (int i = 0; i < kWalkLookups; ++i)
            walked[i] = index.findFileByWalk(exact.at(i));
    });
    std::printf("%d look-ups by walk:  %9.1f ms = %.0fx the index\n", kWalkLookups, walk,
                walk / lookups * kExactLookups / kWalkLookups);
    const int differ =
        int(std::mismatch(walked.cbegin(), walked.cend(), hashed.cbegin()).first - walked.cbegin());
    if (differ != walked.size()) {
        std::printf("MISMATCH at look-up %d: index [%s], walk [%s]\n", differ,
                    qPrintable(hashed.at(differ)), qPrintable(walked.at(differ)));
        return 1;
    }
    std::printf("index and walk agree on all %d look-ups\n", kWalkLookups);
    return 0;
}
