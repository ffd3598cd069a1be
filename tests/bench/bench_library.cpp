// Times the asset library index over 200,000 files in 2,000 folders: the scan next to a plain
// recursive listing of the same tree, 10,000 exact look-ups through the index, 100 wildcard
// look-ups, and the same 10,000 exact look-ups as a walk over the records. Prints the figures
// and checks that the index and the walk agree; asserts nothing about time.
//
//   bench_library [runs]      (default 3 runs; the best run of each timing is reported)
#include "scenelist/LibraryIndex.h"
#include "support/ProductionValues.h"

#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kGroups = 20;
constexpr int kFoldersPerGroup = 100; // 2,000 folders
constexpr int kFilesPerFolder = 100;  // 200,000 files
constexpr int kDistinctNames = 50000; // each name is in four folders: the first one wins
constexpr int kExactLookups = 10000;
constexpr int kWildcardLookups = 100;

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

    QVector<QString> walked(exact.size());
    const double walk = bestMilliseconds(1, [&] {
        for (int i = 0; i < exact.size(); ++i)
            walked[i] = index.findFileByWalk(exact.at(i));
    });
    std::printf("%d look-ups by walk: %9.1f ms = %.0fx the index\n", kExactLookups, walk,
                walk / lookups);
    const int differ =
        int(std::mismatch(hashed.cbegin(), hashed.cend(), walked.cbegin()).first - hashed.cbegin());
    if (differ != hashed.size()) {
        std::printf("MISMATCH at look-up %d: index [%s], walk [%s]\n", differ,
                    qPrintable(hashed.at(differ)), qPrintable(walked.at(differ)));
        return 1;
    }
    std::printf("index and walk agree on all %d look-ups\n", kExactLookups);
    return 0;
}
