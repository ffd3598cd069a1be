#pragma once

#include <QObject>
#include <QVariant>

class ProjectHost;

// What a host script sees of the project: the native half of the ExtendScript object model.
// The script-side classes (app, CompItem, ImportOptions, File, ...) are thin wrappers around
// these calls, keyed by item id and by the project they came from (projectSerial), so that an
// item kept from a closed project is refused rather than taken for an item of the open one.
// Failures throw a script error through the engine.
class ScriptBridge : public QObject
{
    Q_OBJECT
public:
    explicit ScriptBridge(ProjectHost &project, QObject *parent = nullptr);

    // The script-side half, evaluated once in the session's engine, before any script.
    static QString prelude();
    // The message a compiled (JSXBIN) script gets: this host cannot run one.
    static QString compiledScriptError();

    Q_INVOKABLE int numItems() const;
    Q_INVOKABLE int itemIdAt(int oneBased) const;
    Q_INVOKABLE int rootId() const;
    Q_INVOKABLE int activeId() const;
    Q_INVOKABLE QString itemType(int id) const;
    Q_INVOKABLE QString itemName(int id) const;
    Q_INVOKABLE void setItemName(int id, const QString &name);
    Q_INVOKABLE int parentId(int id) const;
    Q_INVOKABLE bool moveItem(int id, int folderId);
    Q_INVOKABLE QVariantList childIds(int id) const;
    Q_INVOKABLE QVariantMap itemInfo(int id) const;
    Q_INVOKABLE int addComp(int folderId, const QString &name, int width, int height,
                            double pixelAspect, double duration, double frameRate);
    Q_INVOKABLE int addFolder(int folderId, const QString &name);
    Q_INVOKABLE int layerCount(int compId) const;
    Q_INVOKABLE QVariantMap layerInfo(int compId, int oneBased) const;
    Q_INVOKABLE bool addLayer(int compId, int itemId);
    Q_INVOKABLE int precompose(int compId, const QVariantList &indices, const QString &name);
    Q_INVOKABLE int importFile(const QString &path, int importAs, bool sequence,
                               bool forceAlphabetical);
    Q_INVOKABLE QString lastError() const { return m_error; }
    Q_INVOKABLE bool fileExists(const QString &path) const;
    Q_INVOKABLE QString absolutePath(const QString &path) const;
    Q_INVOKABLE void console(const QString &line);
    Q_INVOKABLE bool setConformFps(int footageId, double fps);
    // $.fileName: the file of the script running (empty for a text handed over directly).
    Q_INVOKABLE QString scriptFileName() const { return m_fileName; }
    Q_INVOKABLE void setScriptFileName(const QString &path) { m_fileName = path; }
    // The text of a script file for $.evalFile: UTF-8 (a byte order mark dropped), or Latin-1
    // for a file that is not UTF-8. Undefined in the script, with lastError() set, when the
    // file cannot be read or cannot run here.
    Q_INVOKABLE QVariant readScript(const QString &path);
    Q_INVOKABLE int projectSerial() const;
    Q_INVOKABLE QString environment(const QString &name) const;
    Q_INVOKABLE void quit(int exitCode);

private:
    int importPsd(const QString &path);
    int importProject(const QString &path);
    int fail(const QString &message);

    ProjectHost &m_project;
    QString m_fileName;
    QString m_error;
};
