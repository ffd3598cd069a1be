#include "testhost/app/SampleProduction.h"

#include "testhost/app/OutputFiles.h"

#include <QDir>
#include <QImage>
#include <QPainter>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 360;

// The table text: columns OriginOfData, Col, Type, Crop, File Name, Ext, Layer Dir, Layer
// Name, Layer Position, Sort, Mode, Options, Comments; combo cells as their index.
const char kMatchingTable[] = "1,1,1,,,,,,0,000,0,,scene;"
                              "1,2,5,,,png,BG,,2,001,1,,background;"
                              "1,3,6,,,png,CHARS,,1,002,1,,characters";

// Quoted cells hold one asset per line; a remark in parentheses is dropped on reading.
const char kSceneList[] = "Episode 1 - breakdown;;\n"
                          "Scene;Background;Characters\n"
                          "SC010;BG_SC010;\"bob\nann\"\n"
                          "SC020;BG_SC020;bob\n"
                          "SC030;BG_SC030;\"ann\nzed (new character, not drawn yet)\"\n";

QImage background(const QColor &sky, const QColor &ground)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.fillRect(0, 0, kWidth, kHeight * 2 / 3, sky);
    painter.fillRect(0, kHeight * 2 / 3, kWidth, kHeight / 3, ground);
    return image;
}

// A figure standing on the ground at x, on a transparent frame of the scene's size.
QImage character(int x, const QColor &colour)
{
    QImage image(kWidth, kHeight, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawRoundedRect(QRect(x - 30, 150, 60, 110), 20, 20);
    painter.drawEllipse(QPoint(x, 125), 28, 28);
    return image;
}

bool makePath(const QDir &root, const QString &path, QString *error)
{
    if (root.mkpath(path))
        return true;
    *error = QStringLiteral("cannot create %1").arg(root.filePath(path));
    return false;
}

bool writeLibrary(const QDir &root, QString *error)
{
    const QDir bg(root.filePath(QStringLiteral("library/bg")));
    const QDir chars(root.filePath(QStringLiteral("library/chars")));
    return makePath(root, bg.path(), error) && makePath(root, chars.path(), error) &&
           writeImageFile(background(QColor(130, 180, 235), QColor(90, 160, 80)),
                          bg.filePath(QStringLiteral("BG_SC010.png")), error) &&
           writeImageFile(background(QColor(30, 30, 80), QColor(40, 60, 40)),
                          bg.filePath(QStringLiteral("BG_SC020.png")), error) &&
           writeImageFile(background(QColor(240, 170, 110), QColor(170, 120, 70)),
                          bg.filePath(QStringLiteral("BG_SC030.png")), error) &&
           writeImageFile(character(220, QColor(230, 90, 40)),
                          chars.filePath(QStringLiteral("bob.png")), error) &&
           writeImageFile(character(420, QColor(60, 90, 220)),
                          chars.filePath(QStringLiteral("ann.png")), error);
}

} // namespace

bool writeSampleProduction(const QString &root, SampleProduction *production, QString *error)
{
    const QDir dir(QDir(root).absolutePath());
    if (!makePath(dir, dir.path(), error) || !writeLibrary(dir, error))
        return false;
    production->sceneList = dir.filePath(QStringLiteral("scene-list.csv"));
    production->library = dir.filePath(QStringLiteral("library"));
    production->matchingTable = dir.filePath(QStringLiteral("matching-table.txt"));
    production->scenes =
        QStringList{QStringLiteral("SC010"), QStringLiteral("SC020"), QStringLiteral("SC030")};
    return writeOutputFile(kSceneList, production->sceneList, error) &&
           writeOutputFile(kMatchingTable, production->matchingTable, error);
}
