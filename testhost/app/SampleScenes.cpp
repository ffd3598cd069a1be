#include "testhost/app/SampleScenes.h"

#include "testhost/app/OutputFiles.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>

namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 180;

// A character drawing: a disc that moves across the frame on a transparent background.
QImage characterCell(int frame, int frames, const QColor &colour)
{
    QImage image(kWidth, kHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setBrush(colour);
    painter.setPen(Qt::NoPen);
    const int x = 20 + (kWidth - 80) * frame / std::max(1, frames - 1);
    painter.drawEllipse(QPoint(x + 20, kHeight / 2), 20, 20);
    return image;
}

QImage background(const QColor &top, const QColor &bottom)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    QLinearGradient gradient(0, 0, 0, kHeight);
    gradient.setColorAt(0, top);
    gradient.setColorAt(1, bottom);
    painter.fillRect(image.rect(), gradient);
    return image;
}

// An uncompressed 32-bit true-colour TGA (type 2), rows bottom first, pixels B, G, R, A.
QByteArray tgaBytes(const QImage &source)
{
    const QImage image = source.convertToFormat(QImage::Format_ARGB32);
    QByteArray bytes(18, '\0');
    bytes[2] = 2;
    bytes[12] = char(image.width() & 0xff);
    bytes[13] = char(image.width() >> 8);
    bytes[14] = char(image.height() & 0xff);
    bytes[15] = char(image.height() >> 8);
    bytes[16] = 32;
    bytes[17] = 8; // eight alpha bits, origin bottom left
    bytes.reserve(18 + image.width() * image.height() * 4);
    for (int y = image.height() - 1; y >= 0; --y) {
        const auto *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            bytes.append(char(qBlue(row[x])));
            bytes.append(char(qGreen(row[x])));
            bytes.append(char(qRed(row[x])));
            bytes.append(char(qAlpha(row[x])));
        }
    }
    return bytes;
}

QString frameName(const QString &name, int frame, const QString &ext)
{
    return QStringLiteral("%1%2.%3").arg(name).arg(frame, 4, 10, QLatin1Char('0')).arg(ext);
}

bool writeSequence(const QDir &dir, const QString &name, int frames, const QColor &colour,
                   QString *error)
{
    for (int f = 1; f <= frames; ++f)
        if (!writeImageFile(characterCell(f - 1, frames, colour),
                            dir.filePath(frameName(name, f, QStringLiteral("png"))), error))
            return false;
    return true;
}

bool makeDir(const QDir &root, const QString &path, QDir *out, QString *error)
{
    if (!root.mkpath(path)) {
        *error = QStringLiteral("cannot create %1").arg(root.filePath(path));
        return false;
    }
    *out = QDir(root.filePath(path));
    return true;
}

// An image sequence with alpha over a fixed background.
bool writeAlphaScene(const QDir &root, QString *error)
{
    QDir scene;
    return makeDir(root, QStringLiteral("SC01_alpha"), &scene, error) &&
           writeSequence(scene, QStringLiteral("A"), 12, QColor(230, 80, 40), error) &&
           writeImageFile(background(QColor(120, 170, 230), QColor(240, 240, 220)),
                          scene.filePath(QStringLiteral("BG.png")), error);
}

// Sub-folders: effects with a nested layer, a character and a background. Layers stack in name
// order, the first name on top, so the numbers put the background at the bottom.
bool writeTreeScene(const QDir &root, QString *error)
{
    QDir bg, fx, sparks, chars;
    return makeDir(root, QStringLiteral("SC02_tree/3_BG"), &bg, error) &&
           makeDir(root, QStringLiteral("SC02_tree/1_FX/Sparks"), &sparks, error) &&
           makeDir(root, QStringLiteral("SC02_tree/1_FX"), &fx, error) &&
           makeDir(root, QStringLiteral("SC02_tree/2_CH"), &chars, error) &&
           writeImageFile(background(QColor(40, 40, 90), QColor(10, 10, 30)),
                          bg.filePath(QStringLiteral("BG.png")), error) &&
           writeSequence(fx, QStringLiteral("Glow"), 8, QColor(255, 240, 120), error) &&
           writeSequence(sparks, QStringLiteral("S"), 6, QColor(255, 255, 255), error) &&
           writeSequence(chars, QStringLiteral("B"), 10, QColor(60, 200, 90), error);
}

// A TGA sequence, as older render farms write it.
bool writeTgaScene(const QDir &root, QString *error)
{
    QDir scene;
    if (!makeDir(root, QStringLiteral("SC03_tga"), &scene, error))
        return false;
    for (int f = 1; f <= 6; ++f)
        if (!writeOutputFile(
                tgaBytes(characterCell(f - 1, 6, QColor(200, 60, 200))),
                scene.filePath(frameName(QStringLiteral("T"), f, QStringLiteral("tga"))), error))
            return false;
    return true;
}

// A scene with its own hand-written descriptor: 16 frames at 12 fps, a 640x360 composition,
// the character in a "Chars" folder and a background at the root folder.
bool writeDescriptorScene(const QDir &root, QString *error)
{
    QDir scene, chars;
    if (!makeDir(root, QStringLiteral("SC04_xml"), &scene, error) ||
        !makeDir(root, QStringLiteral("SC04_xml/chars"), &chars, error) ||
        !writeSequence(chars, QStringLiteral("K"), 16, QColor(250, 200, 40), error) ||
        !writeImageFile(background(QColor(200, 230, 200), QColor(90, 140, 90)),
                        scene.filePath(QStringLiteral("Decor.png")), error))
        return false;
    const QByteArray descriptor = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n"
                                  "<!DOCTYPE quillMarkExpo>\n"
                                  "<expo name=\"SC04\" nbIma=\"16\" frameRate=\"12\" >\n"
                                  "<size dx=\"640\" dy=\"360\" />\n"
                                  "<cols name=\"A00\">\n"
                                  "    <col name=\"Decor\"  type=\"fixe\" subdir=\"\" ext=\"png\" "
                                  "firstCellName=\"Decor\" folder=\"\" />\n"
                                  "<cols name=\"Chars\">\n"
                                  "    <col name=\"K\"  type=\"anim\" subdir=\"/chars\" "
                                  "ext=\"png\" firstCellName=\"K0001\" folder=\"Chars\" />\n"
                                  "</cols>\n"
                                  "</cols>\n"
                                  "</expo>\n";
    return writeOutputFile(descriptor, scene.filePath(QStringLiteral("SC04_xml.xml")), error);
}

} // namespace

QStringList writeSampleScenes(const QString &root, QString *error)
{
    QDir dir;
    if (!dir.mkpath(root)) {
        *error = QStringLiteral("cannot create %1").arg(root);
        return {};
    }
    dir = QDir(root);
    if (!writeAlphaScene(dir, error) || !writeTreeScene(dir, error) || !writeTgaScene(dir, error) ||
        !writeDescriptorScene(dir, error))
        return {};
    return {QStringLiteral("SC01_alpha"), QStringLiteral("SC02_tree"), QStringLiteral("SC03_tga"),
            QStringLiteral("SC04_xml")};
}
