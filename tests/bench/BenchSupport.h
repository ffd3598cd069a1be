#pragma once
// What the benchmarks share: the number of runs from the command line, the best time of those
// runs, and a plain recursive listing to set the figures against.
#include <QDirIterator>
#include <QElapsedTimer>
#include <QString>

#include <algorithm>
#include <limits>

// argv[1] when given (at least 1), else `fallback`.
inline int runsArgument(int argc, char **argv, int fallback)
{
    return argc > 1 ? std::max(1, QString::fromLocal8Bit(argv[1]).toInt()) : fallback;
}

template <typename Run> double bestMilliseconds(int runs, Run run)
{
    double best = std::numeric_limits<double>::max();
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        run();
        best = std::min(best, timer.nsecsElapsed() / 1e6);
    }
    return best;
}

// The files below root, as a plain QDirIterator walk finds them.
inline int plainListing(const QString &root)
{
    int files = 0;
    QDirIterator it(root, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (it.fileInfo().isFile())
            ++files;
    }
    return files;
}
