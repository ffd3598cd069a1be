// Replays seed and bad-input files through a fuzz target's entry point in the normal build, so
// every input the fuzzer starts from (and every input it once broke on) runs under ctest.
#include <QByteArray>
#include <QDirIterator>
#include <QFile>
#include <QStringList>

#include <cstdint>
#include <cstdio>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size);

int main(int argc, char **argv)
{
    QStringList roots = QString::fromUtf8(CELLKIT_REPLAY_DIRS).split(QLatin1Char(';'));
    for (int i = 1; i < argc; ++i)
        roots << QString::fromLocal8Bit(argv[i]);
    int replayed = 0;
    for (const QString &root : qAsConst(roots)) {
        QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            QFile file(it.next());
            if (!file.open(QIODevice::ReadOnly)) {
                std::fprintf(stderr, "cannot read %s\n", qPrintable(file.fileName()));
                return 1;
            }
            const QByteArray data = file.readAll();
            LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t *>(data.constData()),
                                   size_t(data.size()));
            ++replayed;
        }
    }
    std::printf("replayed %d inputs from %s\n", replayed, qPrintable(roots.join(QLatin1Char(' '))));
    return replayed > 0 ? 0 : 1;
}
