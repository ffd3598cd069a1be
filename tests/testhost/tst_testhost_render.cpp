// Composition previews: a rendered frame against one drawn here from the same images, layer by
// layer (a missing file, a sequence with alpha, a precomposition holding a still with alpha),
// and the same frame written by cellkit-host --render.
#include "HostProcess.h"
#include "testhost/project/CompositionRenderer.h"
#include "testhost/project/ProjectModel.h"

#include <QJsonDocument>
#include <QPainter>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QImage picture(int width, int height, QColor colour, QRect area)
{
    QImage image(width, height, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter(&image).fillRect(area, colour);
    return image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

QImage sequenceFrame(int n)
{
    return picture(40, 20, QColor(40 * n, 200, 255 - 60 * n, 128), QRect(8 * n, 4, 12, 12));
}

QImage dot()
{
    return picture(10, 6, QColor(250, 30, 90, 200), QRect(1, 1, 8, 4));
}

} // namespace

class TestTesthostRender : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void frameMatchesOneDrawnByHand_data();
    void frameMatchesOneDrawnByHand();
    void commandLineWritesTheSameFrame();

private:
    QTemporaryDir m_dir;
    ProjectModel m_model;
    ProjectItem *m_comp = nullptr;
    ProjectItem *m_sequence = nullptr;
    QString m_gone;
};

// Layers, top first: "Inner" (a 20x10 composition, 4 frames, holding dot.png), the sequence
// A0001-A0003, and gone.png, deleted after its import.
void TestTesthostRender::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QDir dir(m_dir.path());
    for (int n = 0; n < 3; ++n)
        QVERIFY(sequenceFrame(n).save(dir.filePath(QStringLiteral("A000%1.png").arg(n + 1))));
    QVERIFY(dot().save(dir.filePath("dot.png")));
    m_gone = dir.filePath("gone.png");
    QVERIFY(dot().save(m_gone));
    QString error, note;
    auto footage = [&](const QString &name, bool sequence) {
        ProjectItem *item = m_model.newFootage(dir.filePath(name), sequence, false, &error, &note);
        return item && m_model.adoptFootage(item, nullptr) ? item : nullptr;
    };
    ProjectItem *gone = footage("gone.png", false);
    m_sequence = footage("A0001.png", true);
    ProjectItem *still = footage("dot.png", false);
    QVERIFY(gone && m_sequence && still);
    QCOMPARE(m_sequence->files.size(), 3);
    QVERIFY(QFile::remove(m_gone));
    m_comp = m_model.addComp("Shot", nullptr, 40, 20, {1, 1}, {8, 24}, {24, 1});
    ProjectItem *inner = m_model.addComp("Inner", nullptr, 20, 10, {1, 1}, {4, 24}, {24, 1});
    QVERIFY(m_model.addLayer(inner, still));
    for (ProjectItem *source : {gone, m_sequence, inner})
        QVERIFY(m_model.addLayer(m_comp, source));
}

void TestTesthostRender::frameMatchesOneDrawnByHand_data()
{
    QTest::addColumn<int>("frame");
    QTest::addColumn<double>("conformFps");
    QTest::addColumn<int>("sequenceFrame"); // -1: the sequence has ended
    QTest::addColumn<bool>("innerShown");
    QTest::newRow("first frame") << 0 << 24.0 << 0 << true;
    QTest::newRow("the matching sequence frame") << 2 << 24.0 << 2 << true;
    QTest::newRow("a sequence conformed to half the rate") << 3 << 12.0 << 1 << true;
    QTest::newRow("sequence and precomposition ended") << 5 << 24.0 << -1 << false;
}

void TestTesthostRender::frameMatchesOneDrawnByHand()
{
    QFETCH(int, frame);
    QFETCH(double, conformFps);
    QFETCH(int, sequenceFrame);
    QFETCH(bool, innerShown);
    m_sequence->conformFps = conformFps;

    QImage expected(40, 20, QImage::Format_ARGB32_Premultiplied);
    expected.fill(Qt::transparent);
    QPainter painter(&expected);
    painter.drawImage(0, 0, CompositionRenderer::placeholder({40, 20}, "MISSING", "gone.png"));
    if (sequenceFrame >= 0)
        painter.drawImage(0, 0, ::sequenceFrame(sequenceFrame));
    if (innerShown)
        painter.drawImage(10 + 5, 5 + 2, dot()); // centred in Inner, Inner centred in Shot
    painter.end();

    CompositionRenderer renderer;
    QString error;
    const QImage frameImage = renderer.render(m_comp, frame, &error);
    QCOMPARE(error, QString());
    QCOMPARE(renderer.missingFiles(), QStringList{m_gone});
    QCOMPARE(frameImage.size(), QSize(40, 20));
    QCOMPARE(frameImage.convertToFormat(QImage::Format_ARGB32),
             expected.convertToFormat(QImage::Format_ARGB32));
}

void TestTesthostRender::commandLineWritesTheSameFrame()
{
    m_sequence->conformFps = 24;
    const QString project = QDir(m_dir.path()).filePath("shot.aep");
    const QString png = QDir(m_dir.path()).filePath("frame 2.png");
    QFile file(project);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QJsonDocument(m_model.toJson()).toJson());
    file.close();

    // "-" is the composition no other holds: Shot, not Inner.
    const HostProcessRun run =
        runHost({"--headless", "--project", project, "--render", "-", "2", png});
    QCOMPARE(run.code, 0);
    QVERIFY2(run.out.contains("rendered \"Shot\" frame 2 (40x20)"), qPrintable(run.out));
    QVERIFY2(run.out.contains("  missing: " + m_gone), qPrintable(run.out));
    QString error;
    QCOMPARE(
        QImage(png).convertToFormat(QImage::Format_ARGB32),
        CompositionRenderer().render(m_comp, 2, &error).convertToFormat(QImage::Format_ARGB32));
}

QTEST_MAIN(TestTesthostRender)
#include "tst_testhost_render.moc"
