#pragma once

#include <QCache>
#include <QImage>
#include <QString>
#include <QStringList>

class QPainter;
struct ProjectItem;
struct ProjectLayer;

// Draws one frame of a composition of the test host's project, the way the host would show it
// in its viewer: layers from the bottom of the stack to the top, each centred in its
// composition at 100 %, blended with its alpha over what is below.
//
// Example: frame 6 of a 24 fps composition is the time 0.25 s. A sequence conformed to 12 fps
// shows its frame 3 (0.25 x 12), a still shows its image, a precomposition draws its own
// layers at 0.25 s, and a layer whose source has ended (a 2-frame sequence) is left out. A
// file that is missing or cannot be read is drawn as the marked placeholder, as large as the
// composition, and listed in missingFiles(). Movies are not decoded: they get a placeholder
// titled "MOVIE" for their length; sounds draw nothing. Pixel aspect ratios are not applied.
class CompositionRenderer
{
public:
    CompositionRenderer();

    // The frames of a composition: its duration at its frame rate, at least 1.
    static int frameCount(const ProjectItem *comp);
    // Frame `frame` (from 0) at the composition's size; a null image and *error on failure.
    // The renderer keeps no item: it may outlive the project it drew.
    QImage render(const ProjectItem *comp, int frame, QString *error);
    // The files drawn as placeholders by the last render, each once, in drawing order (an
    // empty text for frames missing from a sequence).
    QStringList missingFiles() const { return m_missing; }
    // Decoded images are kept between renders; this forgets them (files changed on disk).
    void clearCache() { m_images.clear(); }

    // The stand-in for a file that cannot be shown: a dark red frame crossed from corner to
    // corner, with a title ("MISSING", "MOVIE") and the file name written in it.
    static QImage placeholder(const QSize &size, const QString &title, const QString &fileName);

private:
    void drawComposition(QPainter &painter, const ProjectItem *comp, double seconds, int depth);
    void drawLayer(QPainter &painter, const ProjectLayer &layer, double seconds, int depth);
    // The file a footage item shows at `seconds`; false when the layer has ended by then.
    static bool fileAt(const ProjectItem *footage, double seconds, QString *file);
    QImage image(const QString &path, const QSize &fallback);

    QCache<QString, QImage> m_images; // cost in kilobytes
    QStringList m_missing;
};
