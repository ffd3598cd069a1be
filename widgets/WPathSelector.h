#pragma once

#include <QWidget>

#include <functional>

class QLineEdit;
class QPushButton;

// A one-line path field followed by a "..." button. The button and the field's context menu
// offer "Select File..." (or "Select Directory...") and "Open Directory: <folder>". A path may
// hold production placeholders; with a resolver set, resolvedPath() expands them.
//
// Example: with a resolver that fills the episode number 5, the field ".../EP%02e/t.aep" has
// the resolved path ".../EP05/t.aep", and the menu opens the folder ".../EP05". A field that
// still shows its hint ("Select SceneList") has no path at all.
class WPathSelector : public QWidget
{
    Q_OBJECT
public:
    // Expands the placeholders of a path (the scene placeholder %a stays as written).
    using Resolver = std::function<QString(const QString &)>;

    explicit WPathSelector(QWidget *parent = nullptr);

    // The field's text, trimmed.
    Q_INVOKABLE QString rawText() const;
    // The path to use: empty for a hint text, placeholders expanded, "/" separators.
    Q_INVOKABLE QString resolvedPath() const;
    // Puts `path` into the field; a path with an extension makes this a file selector.
    Q_INVOKABLE void setPath(const QString &path);
    // Directory chooser at `startDir`; a choice makes this a directory selector.
    void selectDirectory(const QString &startDir);
    // File chooser at `startPath` with the file filter; a choice makes this a file selector.
    void selectFile(const QString &startPath);

    void setPlaceholderResolver(Resolver resolver) { m_resolver = std::move(resolver); }
    bool hasPlaceholderResolver() const { return bool(m_resolver); }
    QString fileFilter() const { return m_fileFilter; }
    void setFileFilter(const QString &filter) { m_fileFilter = filter; }
    bool isFile() const { return m_isFile; }
    void setIsFile(bool isFile) { m_isFile = isFile; }
    // When off, "Select" asks the owner through selectRequest instead of opening a chooser.
    bool selectHere() const { return m_selectHere; }
    void setSelectHere(bool here) { m_selectHere = here; }

    QLineEdit *lineEdit() const { return m_field; }

Q_SIGNALS:
    void pathChanged();
    void selectRequest(WPathSelector *selector);
    void openRequest();

public Q_SLOTS:
    void OnPbSelect();
    void OnPbOpen();
    void OnPopupMenu(const QPoint &point);
    void OnPopupMenuPoint();

private:
    void choose(const QString &chosen, bool isFile);

    QLineEdit *m_field = nullptr;
    QPushButton *m_button = nullptr;
    Resolver m_resolver;
    QString m_fileFilter = QStringLiteral("*.*");
    bool m_isFile = false;
    bool m_selectHere = true;
};
