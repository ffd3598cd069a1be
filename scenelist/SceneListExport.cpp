#include "scenelist/SceneListExport.h"

#include "scenelist/AssetType.h"
#include "scenelist/MatchingTable.h"
#include "scenelist/SceneTree.h"
#include "support/FileNameCheck.h"
#include "support/LogSink.h"
#include "support/MissingFilesText.h"
#include "support/Prompts.h"
#include "support/TextHelpers.h"
#include "support/WholeFile.h"

#include <QTextCodec>

namespace {

// The export files are read by other tools of the studio's machines: the local code page, as
// a text stream writes by default.
QByteArray localText(const QString &text)
{
    return QTextCodec::codecForLocale()->fromUnicode(text);
}

// The line ends of a text file on this platform, as a file opened in text mode writes them.
QByteArray nativeLineEnds(QByteArray text)
{
#ifdef Q_OS_WIN
    text.replace('\n', "\r\n");
#endif
    return text;
}

QString imageCount(const SceneTreeScene &scene, const MatchingTable &table)
{
    QString count = QStringLiteral("0");
    for (const SceneTreeRow &element : scene.elements) {
        bool ok = false;
        const int row = element.cell(SceneTreeColumn::Cid).toInt(&ok);
        if (ok && table.type(row) == TypeNbIma)
            count = element.cell(SceneTreeColumn::Element);
    }
    return count;
}

bool isCountedMissing(const SceneTreeRow &element)
{
    return isListedAsMissing(element.cell(SceneTreeColumn::Tid).toInt(), element.isFound());
}

} // namespace

SceneListExport::SceneListExport(const SceneTree &tree, const MatchingTable &table)
    : m_tree(tree), m_table(table)
{}

bool SceneListExport::hasOutputDir(const QString &outputDir) const
{
    // Without one, the files would go to the root of the disk.
    if (!outputDir.trimmed().isEmpty())
        return true;
    Prompts::current().warning(m_dialogParent, QStringLiteral("Warning"),
                               QStringLiteral("Select Destination Directory first"));
    return false;
}

bool SceneListExport::write(const QString &what, const QString &path, const QByteArray &bytes)
{
    QString error;
    if (writeWholeFile(path, bytes, &error))
        return true;
    appendLog(QStringLiteral("-ERR- %1 : %2 not written: %3").arg(what, path, error));
    Prompts::current().warning(m_dialogParent, QString(),
                               QStringLiteral("Error creating %1").arg(path));
    return false;
}

QString SceneListExport::exportedSceneName(const QString &sceneName)
{
    return padNumber(sceneName.simplified().remove(QLatin1Char(' ')), 3).toUpper();
}

bool SceneListExport::exportShotLedger(const QString &outputDir, const QString &productionName,
                                       const QString &episode)
{
    int selected = 0;
    for (const SceneTreeScene &scene : m_tree.scenes())
        selected += scene.selected ? 1 : 0;
    if (selected == 0) {
        Prompts::current().warning(m_dialogParent, QString(),
                                   QStringLiteral("No lines Selected ... Abort"));
        return false;
    }
    if (!hasOutputDir(outputDir))
        return false;
    const QString what = QStringLiteral("SLG Export");
    const QString stemName =
        QStringLiteral("%1_%2").arg(productionName, episode.rightJustified(2, QLatin1Char('0')));
    const QString stem = outputDir + QLatin1Char('/') + stemName;
    const QString listPath = stem + QStringLiteral(".csv");
    const QString timePath = stem + QStringLiteral(".time");
    if (const QString problem = fileNameProblem(stemName); !problem.isEmpty()) {
        appendLog(QStringLiteral("-ERR- %1 : the file name [%2] made of the production name and "
                                 "the episode cannot be used: %3")
                      .arg(what, stemName, problem));
        Prompts::current().warning(m_dialogParent, QString(),
                                   QStringLiteral("Error creating %1").arg(listPath));
        return false;
    }
    QString list;
    QString times;
    int exported = 0;
    for (const SceneTreeScene &scene : m_tree.scenes()) {
        if (!scene.selected)
            continue;
        const QString name = exportedSceneName(scene.cell(SceneTreeColumn::Element));
        // The tracking tool names its own files after these.
        if (const QString problem = fileNameProblem(name); !problem.isEmpty()) {
            appendLog(QStringLiteral("-ERR- %1 : the scene [%2] is not exported: %3")
                          .arg(what, scene.cell(SceneTreeColumn::Element), problem));
            continue;
        }
        const QString count = imageCount(scene, m_table);
        list += name + QLatin1Char('\n');
        times += QStringLiteral("%1;%1-sc;%2;\n").arg(name, count);
        appendLog(QStringLiteral("Scene: %1 NbIma :%2").arg(name, count));
        ++exported;
    }
    if (!write(what, listPath, nativeLineEnds(localText(list))) ||
        !write(what, timePath, nativeLineEnds(localText(times))))
        return false;
    Prompts::current().information(
        m_dialogParent, QString(),
        QStringLiteral("The Followings Files have been created with %1 Line(s)\n\n    %2\n    "
                       "%3\n\nREM: Scene Name have been converted in UpperCase\n")
            .arg(QString::number(exported), listPath, timePath));
    return true;
}

bool SceneListExport::createMissingFilesLog(const QString &outputDir)
{
    if (!hasOutputDir(outputDir))
        return false;
    QString text;
    for (const SceneTreeScene &scene : m_tree.scenes()) {
        text += missingFilesSceneLine(scene.cell(SceneTreeColumn::Element));
        for (const SceneTreeRow &element : scene.elements) {
            if (isCountedMissing(element)) {
                text += missingFilesElementLine(element.cell(SceneTreeColumn::Element),
                                                element.cell(SceneTreeColumn::FileName));
            }
        }
    }
    const QString path = outputDir + QStringLiteral("/MissingFiles.log");
    if (!write(QStringLiteral("Create Error Log"), path, localText(text)))
        return false;
    Prompts::current().information(m_dialogParent, QString(),
                                   QStringLiteral("Error log Created Here :\n\n %1\n\n").arg(path));
    return true;
}
