// Times the scene directory analysis over a tree of 20,000 files in 200 sequences against a
// plain recursive listing of the same tree. Prints the figures; asserts nothing about time.
//
//   bench_scan [runs]      (default 5 runs; the best run of each is reported)
#include "import/ColumnAssembler.h"
#include "import/CreateSceneSource.h"
#include "import/ExpoDescriptor.h"
#include "import/SceneAnalysis.h"

#include "BenchSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int kFolders = 10;
constexpr int kSequencesPerFolder = 20;
constexpr int kFrames = 100; // 10 x 20 x 100 = 20,000 files in 200 sequences

qint64 g_debugMessages = 0;

// The per-file debug lines would otherwise go to standard error and time the terminal.
void countMessage(QtMsgType, const QMessageLogContext &, const QString &)
{
    ++g_debugMessages;
}

class NullAssembler : public ColumnAssembler
{
public:
    void createSceneComposition(const QString &, const QString &, int, int, int, int) override {}
    void importColumn(const QString &, bool, int, const QString &, bool) override {}
    void precomposeLayers(int, const QString &) override {}
    void runBatchScripts() override {}
};

bool buildTree(const QString &root)
{
    for (int f = 0; f < kFolders; ++f) {
        const QString folder = root + QStringLiteral("/F%1").arg(f, 2, 10, QLatin1Char('0'));
        if (!QDir().mkpath(folder))
            return false;
        for (int s = 0; s < kSequencesPerFolder; ++s) {
            for (int i = 1; i <= kFrames; ++i) {
                QFile file(QStringLiteral("%1/S%2_%3_%4.png")
                               .arg(folder)
                               .arg(f)
                               .arg(s, 2, 10, QLatin1Char('0'))
                               .arg(i, 4, 10, QLatin1Char('0')));
                if (!file.open(QIODevice::WriteOnly))
                    return false;
            }
        }
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int runs = runsArgument(argc, argv, 5);

    QTemporaryDir tmp;
    const QString scene = tmp.path() + QLatin1String("/SC01");
    if (!tmp.isValid() || !buildTree(scene)) {
        std::fprintf(stderr, "bench_scan: cannot build the scene tree in %s\n",
                     qPrintable(tmp.path()));
        return 1;
    }

    ImportOptions options;
    options.fileExtensions = QStringLiteral("*.png,*.tga");
    CreateSceneSource createScene;
    NullAssembler assembler;
    ExpoDescriptor descriptor(options, assembler);
    SceneAnalysis analysis(options, createScene, descriptor);
    qInstallMessageHandler(countMessage);

    int listed = plainListing(scene); // warms the file system caches for both
    const double listing = bestMilliseconds(runs, [&] { listed = plainListing(scene); });

    ExpoColList cols;
    g_debugMessages = 0;
    const double scan = bestMilliseconds(runs, [&] {
        cols.clear();
        analysis.ScanSceneDir(scene, cols, QString());
    });

    const bool shapeOk = cols.size() == kFolders * kSequencesPerFolder &&
                         std::all_of(cols.cbegin(), cols.cend(), [](const ExpoCol &c) {
                             return c.nbIma == kFrames && c.firstNum == 1 && c.lastNum == kFrames;
                         });
    std::printf("scene tree: %d files, %d folders, best of %d runs\n", listed, kFolders, runs);
    std::printf("plain recursive listing : %9.2f ms\n", listing);
    std::printf("ScanSceneDir            : %9.2f ms  (%d columns, %lld debug lines dropped)\n",
                scan, int(cols.size()), g_debugMessages / runs);
    std::printf("ratio scan / listing    : %9.2f\n", listing > 0 ? scan / listing : 0.0);
    if (!shapeOk) {
        std::fprintf(stderr, "bench_scan: unexpected columns (%d)\n", int(cols.size()));
        return 1;
    }
    return 0;
}
