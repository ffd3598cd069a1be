#include "testhost/project/CompositionRenderer.h"

#include "import/TgaReader.h"
#include "testhost/project/ProjectModel.h"

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QPainter>
#include <climits>
#include <cmath>

namespace {

// A frame or a source image beyond this many pixels is refused rather than allocated.
const qint64 kMaxPixels = 16384LL * 16384LL;
// Precompositions cannot hold themselves (the model refuses it); this only bounds the stack.
const int kMaxNesting = 64;
// Decoded images kept between renders, in kilobytes.
const int kCacheKilobytes = 512 * 1024;
// Frame times are products of ratios: a hair of tolerance keeps 0.25 x 12 on frame 3.
const double kEpsilon = 1e-9;

double toSeconds(A_Time t)
{
    return t.scale ? double(t.value) / double(t.scale) : 0.0;
}

double toRate(A_Ratio r)
{
    return r.den ? double(r.num) / double(r.den) : 0.0;
}

bool isStill(const ProjectItem *item)
{
    return item->kind == QLatin1String("still");
}

// The TGA files the host imports are decoded by the plug-in's own reader, as Qt has none.
QImage tgaImage(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxPixels * 4 + 65536)
        return QImage();
    unsigned char palette[TgaPaletteSize];
    TgaHeader header;
    QByteArray pixels;
    if (!imTgaRead(file.readAll(), palette, &header, &pixels, TgaReport::Silent) ||
        qint64(header.width) * header.height > kMaxPixels)
        return QImage();
    QImage image(header.width, header.height, QImage::Format_ARGB32);
    if (image.isNull())
        return QImage();
    const bool hasAlpha = (header.descriptor & 0x0f) != 0;
    const bool topFirst = header.descriptor & 0x20;
    const bool rightToLeft = header.descriptor & 0x10;
    const int bytes = header.decodedPixelBytes();
    const auto *src = reinterpret_cast<const unsigned char *>(pixels.constData());
    for (int y = 0; y < header.height; ++y) {
        auto *row = reinterpret_cast<QRgb *>(image.scanLine(topFirst ? y : header.height - 1 - y));
        for (int x = 0; x < header.width; ++x) {
            const unsigned char *p = src + (qint64(y) * header.width + x) * bytes;
            // Decoded pixels are A, B, G, R; one-byte pixels index the palette or are grey.
            if (bytes == 1 && (header.imageType == 1 || header.imageType == 9))
                p = palette + *p * 5;
            const QRgb rgb = bytes == 1 && !(header.imageType == 1 || header.imageType == 9)
                                 ? qRgb(p[0], p[0], p[0])
                                 : qRgba(p[3], p[2], p[1], hasAlpha ? p[0] : 255);
            row[rightToLeft ? header.width - 1 - x : x] = rgb;
        }
    }
    return image;
}

QImage readImage(const QString &path)
{
    if (path.endsWith(QLatin1String(".tga"), Qt::CaseInsensitive))
        return tgaImage(path);
    QImageReader reader(path);
    const QSize size = reader.size();
    if (size.isValid() && qint64(size.width()) * size.height() > kMaxPixels)
        return QImage();
    return reader.read();
}

} // namespace

CompositionRenderer::CompositionRenderer() : m_images(kCacheKilobytes) {}

int CompositionRenderer::frameCount(const ProjectItem *comp)
{
    const double frames = toSeconds(comp->duration) * toRate(comp->frameRate);
    return std::max(1, int(std::lround(frames)));
}

QImage CompositionRenderer::render(const ProjectItem *comp, int frame, QString *error)
{
    m_missing.clear();
    if (!comp || comp->type != AEGP_ItemType_COMP) {
        *error = QStringLiteral("not a composition");
        return QImage();
    }
    const int frames = frameCount(comp);
    if (frame < 0 || frame >= frames) {
        *error = QStringLiteral("frame %1 is outside %2 (frames 0 to %3)")
                     .arg(frame)
                     .arg(comp->name)
                     .arg(frames - 1);
        return QImage();
    }
    QImage out;
    if (qint64(comp->width) * comp->height <= kMaxPixels)
        out = QImage(comp->width, comp->height, QImage::Format_ARGB32_Premultiplied);
    if (out.isNull()) {
        *error = QStringLiteral("%1 is too large to render (%2x%3)")
                     .arg(comp->name)
                     .arg(comp->width)
                     .arg(comp->height);
        return QImage();
    }
    out.fill(Qt::transparent);
    QPainter painter(&out);
    const double rate = toRate(comp->frameRate);
    drawComposition(painter, comp, rate > 0 ? frame / rate : 0.0, 0);
    return out;
}

void CompositionRenderer::drawComposition(QPainter &painter, const ProjectItem *comp,
                                          double seconds, int depth)
{
    if (depth > kMaxNesting)
        return;
    // The stack is kept top first; the bottom layer is drawn first.
    for (auto it = comp->layers.rbegin(); it != comp->layers.rend(); ++it)
        drawLayer(painter, **it, seconds, depth);
}

void CompositionRenderer::drawLayer(QPainter &painter, const ProjectLayer &layer, double seconds,
                                    int depth)
{
    const ProjectItem *source = layer.source;
    const QSize compSize(layer.comp->width, layer.comp->height);
    QImage picture;
    if (source->type == AEGP_ItemType_COMP) {
        if (seconds >= toSeconds(source->duration) - kEpsilon ||
            qint64(source->width) * source->height > kMaxPixels)
            return;
        picture = QImage(source->width, source->height, QImage::Format_ARGB32_Premultiplied);
        if (picture.isNull())
            return;
        picture.fill(Qt::transparent);
        QPainter inner(&picture);
        drawComposition(inner, source, seconds, depth + 1);
    } else if (source->type == AEGP_ItemType_FOOTAGE) {
        QString file;
        if (!fileAt(source, seconds, &file))
            return;
        picture = source->kind == QLatin1String("movie")
                      ? placeholder(compSize, QStringLiteral("MOVIE"), QFileInfo(file).fileName())
                      : image(file, compSize);
    }
    if (picture.isNull())
        return;
    // A layer's anchor is its centre and its position the composition's centre.
    const QPoint topLeft((compSize.width() - picture.width()) / 2,
                         (compSize.height() - picture.height()) / 2);
    painter.drawImage(topLeft, picture);
}

bool CompositionRenderer::fileAt(const ProjectItem *footage, double seconds, QString *file)
{
    if (footage->kind == QLatin1String("sound"))
        return false;
    if (isStill(footage)) {
        *file = footage->files.value(0);
        return true;
    }
    if (footage->kind == QLatin1String("sequence")) {
        const qint64 index = qint64(std::floor(seconds * footage->conformFps + kEpsilon));
        if (index < 0 || index >= footage->files.size())
            return false;
        *file = footage->files.at(int(index));
        return true;
    }
    // A movie lasts its own length.
    if (seconds >= toSeconds(ProjectModel::itemDuration(footage)) - kEpsilon)
        return false;
    *file = footage->files.value(0);
    return true;
}

QImage CompositionRenderer::image(const QString &path, const QSize &fallback)
{
    if (const QImage *cached = m_images.object(path))
        return *cached;
    // An empty path is a frame missing from a sequence.
    QImage decoded = path.isEmpty()
                         ? QImage()
                         : readImage(path).convertToFormat(QImage::Format_ARGB32_Premultiplied);
    if (!decoded.isNull()) {
        const int kilobytes = int(std::min<qint64>(decoded.sizeInBytes() / 1024 + 1, INT_MAX));
        m_images.insert(path, new QImage(decoded), kilobytes); // the cache owns it
        return decoded;
    }
    if (!m_missing.contains(path))
        m_missing << path;
    return placeholder(fallback, QStringLiteral("MISSING"),
                       path.isEmpty() ? QStringLiteral("(a frame of a sequence)")
                                      : QFileInfo(path).fileName());
}

QImage CompositionRenderer::placeholder(const QSize &size, const QString &title,
                                        const QString &fileName)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull())
        return image;
    image.fill(QColor(110, 20, 40));
    QPainter painter(&image);
    painter.setPen(QPen(QColor(255, 210, 60), std::max(1, size.height() / 90)));
    painter.drawRect(image.rect().adjusted(0, 0, -1, -1));
    painter.drawLine(0, 0, size.width() - 1, size.height() - 1);
    painter.drawLine(0, size.height() - 1, size.width() - 1, 0);
    QFont font = painter.font();
    font.setPixelSize(std::max(8, size.height() / 14));
    painter.setFont(font);
    painter.setPen(Qt::white);
    painter.drawText(image.rect(), Qt::AlignCenter | Qt::TextWordWrap,
                     title + QLatin1Char('\n') + fileName);
    return image;
}
