// Driving the plug-in's panel from the command line as a user would: set widget values,
// press buttons, select list entries, answer the dialogs the panel opens, and keep the text
// of its log console.
#include "testhost/app/HostActions.h"
#include "testhost/app/OutputFiles.h"
#include "testhost/app/PanelAccess.h"
#include "testhost/core/TestHost.h"

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextEdit>
#include <QTimer>
#include <QTreeWidget>

namespace {

const QString kPanelMatchName = QStringLiteral("cellKit");

// Splits "OBJ=VALUE"; false (message printed) without the "=".
bool splitAssignment(HostRun &run, const QString &text, QString *name, QString *value)
{
    const int eq = text.indexOf(QLatin1Char('='));
    if (eq <= 0) {
        *run.err << "cellkit-host: expected OBJ=VALUE, got " << text << Qt::endl;
        return false;
    }
    *name = text.left(eq);
    *value = text.mid(eq + 1);
    return true;
}

// A list as the settings store it: one comma-separated text, one editable entry per part.
void setListItems(QListWidget *list, const QString &value)
{
    list->clear();
    for (const QString &part : value.split(QLatin1Char(','))) {
        auto *item = new QListWidgetItem(part, list);
        item->setFlags(item->flags() | Qt::ItemIsEditable);
    }
}

QStringList listItems(const QListWidget *list)
{
    QStringList texts;
    for (int row = 0; row < list->count(); ++row)
        texts << list->item(row)->text();
    return texts;
}

bool setWidgetValue(HostRun &run, QWidget *widget, const QString &value)
{
    bool ok = true;
    if (widget->inherits("WPathSelector")) {
        ok = QMetaObject::invokeMethod(widget, "setPath", Q_ARG(QString, value));
    } else if (auto *list = qobject_cast<QListWidget *>(widget)) {
        setListItems(list, value);
    } else if (auto *check = qobject_cast<QCheckBox *>(widget)) {
        if (value != QLatin1String("true") && value != QLatin1String("false"))
            ok = false;
        else
            check->setChecked(value == QLatin1String("true"));
    } else if (auto *edit = qobject_cast<QLineEdit *>(widget)) {
        edit->setText(value);
    } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        button->setText(value);
    } else if (auto *spin = qobject_cast<QSpinBox *>(widget)) {
        const int number = value.toInt(&ok);
        if (ok)
            spin->setValue(number);
    } else if (auto *slider = qobject_cast<QAbstractSlider *>(widget)) {
        const int number = value.toInt(&ok);
        if (ok)
            slider->setValue(number);
    } else if (auto *combo = qobject_cast<QComboBox *>(widget)) {
        const int index = value.toInt(&ok);
        ok = ok && index >= 0 && index < combo->count();
        if (ok)
            combo->setCurrentIndex(index);
    } else if (auto *tabs = qobject_cast<QTabWidget *>(widget)) {
        const int index = value.toInt(&ok);
        ok = ok && index >= 0 && index < tabs->count();
        if (ok)
            tabs->setCurrentIndex(index);
    } else {
        *run.err << "cellkit-host: cannot set a value on " << widget->objectName() << Qt::endl;
        return false;
    }
    if (!ok)
        *run.err << "cellkit-host: bad value " << value << " for " << widget->objectName()
                 << Qt::endl;
    return ok;
}

// The value as --set takes it: true/false, the text, the number or the combo index.
bool widgetValue(HostRun &run, QWidget *widget, QString *value)
{
    if (widget->inherits("WPathSelector"))
        QMetaObject::invokeMethod(widget, "rawText", Q_RETURN_ARG(QString, *value));
    else if (auto *list = qobject_cast<QListWidget *>(widget))
        *value = listItems(list).join(QLatin1Char(','));
    else if (auto *check = qobject_cast<QCheckBox *>(widget))
        *value = check->isChecked() ? QStringLiteral("true") : QStringLiteral("false");
    else if (auto *edit = qobject_cast<QLineEdit *>(widget))
        *value = edit->text();
    else if (auto *button = qobject_cast<QAbstractButton *>(widget))
        *value = button->text();
    else if (auto *spin = qobject_cast<QSpinBox *>(widget))
        *value = QString::number(spin->value());
    else if (auto *slider = qobject_cast<QAbstractSlider *>(widget))
        *value = QString::number(slider->value());
    else if (auto *combo = qobject_cast<QComboBox *>(widget))
        *value = QString::number(combo->currentIndex());
    else if (auto *tabs = qobject_cast<QTabWidget *>(widget))
        *value = QString::number(tabs->currentIndex());
    else {
        *run.err << "cellkit-host: cannot read a value from " << widget->objectName() << Qt::endl;
        return false;
    }
    return true;
}

QMessageBox::StandardButton buttonFor(const QString &answer)
{
    if (answer == QLatin1String("ok"))
        return QMessageBox::Ok;
    if (answer == QLatin1String("yes"))
        return QMessageBox::Yes;
    if (answer == QLatin1String("no"))
        return QMessageBox::No;
    if (answer == QLatin1String("cancel"))
        return QMessageBox::Cancel;
    return QMessageBox::NoButton;
}

void answerMessageBox(HostRun &run, QMessageBox *box)
{
    *run.err << "dialog: " << box->windowTitle() << ": " << box->text() << Qt::endl;
    QAbstractButton *press = nullptr;
    if (!run.answers.isEmpty())
        press = box->button(buttonFor(run.answers.takeFirst()));
    if (!press)
        press = box->defaultButton();
    if (!press)
        press = box->escapeButton();
    if (press)
        press->click();
    else
        box->reject();
}

void answerFileDialog(HostRun &run, QFileDialog *dialog)
{
    *run.err << "dialog: " << dialog->windowTitle() << Qt::endl;
    if (run.choices.isEmpty()) {
        dialog->reject();
        return;
    }
    const QString path = run.choices.takeFirst();
    if (dialog->fileMode() == QFileDialog::Directory)
        dialog->setDirectory(path);
    dialog->selectFile(path);
    // accept() is protected: finishing the dialog with Accepted is what the chooser's own
    // button does once a name is filled in.
    QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
}

} // namespace

void startDialogWatcher(HostRun &run)
{
    static QPointer<QTimer> watcher;
    if (watcher || !qApp)
        return;
    watcher = new QTimer(qApp);
    watcher->setInterval(20);
    static QPointer<QWidget> answered; // a dialog is answered once, even if it closes late
    QObject::connect(watcher.data(), &QTimer::timeout, [&run]() {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible() || modal == answered)
            return;
        auto *box = qobject_cast<QMessageBox *>(modal);
        auto *dialog = qobject_cast<QFileDialog *>(modal);
        if (!box && !dialog)
            return;
        answered = modal;
        // With a window, a dialog no --answer or --choose was given for is the user's.
        const bool queued = box ? !run.answers.isEmpty() : !run.choices.isEmpty();
        if (!run.headless && !queued)
            *run.err << "dialog: " << modal->windowTitle() << (box ? ": " + box->text() : QString())
                     << " (waiting for the user)" << Qt::endl;
        else if (box)
            answerMessageBox(run, box);
        else
            answerFileDialog(run, dialog);
    });
    watcher->start();
}

namespace {

// Scene items of the Create Scene tree, by their column-0 text.
bool selectTreeItems(HostRun &run, QTreeWidget *tree, const QStringList &names)
{
    tree->clearSelection();
    for (const QString &name : names) {
        QTreeWidgetItem *found = nullptr;
        for (int i = 0; i < tree->topLevelItemCount() && !found; ++i)
            if (tree->topLevelItem(i)->text(0) == name)
                found = tree->topLevelItem(i);
        if (!found) {
            *run.err << "cellkit-host: no scene " << name << " in " << tree->objectName()
                     << Qt::endl;
            return false;
        }
        found->setSelected(true);
    }
    return true;
}

bool selectListItems(HostRun &run, QWidget *widget, const QStringList &texts)
{
    if (auto *tree = qobject_cast<QTreeWidget *>(widget))
        return selectTreeItems(run, tree, texts);
    auto *list = qobject_cast<QListWidget *>(widget);
    if (!list) {
        *run.err << "cellkit-host: " << widget->objectName() << " is not a list" << Qt::endl;
        return false;
    }
    list->clearSelection();
    bool first = true;
    for (const QString &text : texts) {
        const QList<QListWidgetItem *> items = list->findItems(text, Qt::MatchExactly);
        if (items.isEmpty()) {
            *run.err << "cellkit-host: no entry " << text << " in " << list->objectName()
                     << Qt::endl;
            return false;
        }
        list->setCurrentItem(items.first(), first ? QItemSelectionModel::ClearAndSelect
                                                  : QItemSelectionModel::Select);
        first = false;
    }
    return true;
}

// A left-button press on the title of a tool-box page, as a user opens or closes it; titles are
// compared without their surrounding blanks (" Use Library Files").
bool clickPageTitle(HostRun &run, const QString &title)
{
    QWidget *panel = findPanel(run);
    if (!panel) {
        *run.err << "cellkit-host: no panel is open (use --command cellKit first)" << Qt::endl;
        return false;
    }
    for (QLabel *label : panel->findChildren<QLabel *>(QStringLiteral("TitleItemLabel"))) {
        if (label->text().trimmed() != title.trimmed())
            continue;
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(1, 1), Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(label, &press);
        return true;
    }
    *run.err << "cellkit-host: the panel has no page titled " << title << Qt::endl;
    return false;
}

bool writeLog(HostRun &run)
{
    QWidget *panel = findPanel(run);
    auto *log = panel ? panel->findChild<QTextEdit *>(QStringLiteral("efLog")) : nullptr;
    return writeOutput(run, run.logFile, log ? log->toPlainText() : QString());
}

} // namespace

QWidget *findPanel(HostRun &run)
{
    QWidget *container = run.host ? run.host->panelContainer(kPanelMatchName) : nullptr;
    if (!container)
        return nullptr;
#ifdef Q_OS_WIN
    // The module built for Windows embeds its panel in the container's native window: a Qt
    // window of its own, not a Qt child of the container. The host opens one such panel.
    const QList<QWidget *> widgets = QApplication::allWidgets();
#else
    const QList<QWidget *> widgets = container->findChildren<QWidget *>();
#endif
    for (QWidget *w : widgets)
        if (w->inherits("WinTools"))
            return w;
    return nullptr;
}

QWidget *findWidget(HostRun &run, const QString &name)
{
    QWidget *panel = findPanel(run);
    if (!panel) {
        *run.err << "cellkit-host: no panel is open (use --command cellKit first)" << Qt::endl;
        return nullptr;
    }
    QWidget *widget = panel->findChild<QWidget *>(name);
    if (!widget)
        *run.err << "cellkit-host: the panel has no widget named " << name << Qt::endl;
    return widget;
}

QWidget *findWidgetOfClass(HostRun &run, const char *className)
{
    QWidget *panel = findPanel(run);
    if (!panel) {
        *run.err << "cellkit-host: no panel is open (use --command cellKit first)" << Qt::endl;
        return nullptr;
    }
    for (QWidget *w : panel->findChildren<QWidget *>())
        if (w->inherits(className))
            return w;
    *run.err << "cellkit-host: the panel has no " << className << Qt::endl;
    return nullptr;
}

bool writeOutput(HostRun &run, const QString &file, const QString &text)
{
    if (file == QLatin1String("-")) {
        *run.out << text << Qt::endl;
        return true;
    }
    QString error;
    if (writeOutputFile(text.toUtf8(), file, &error))
        return true;
    *run.err << "cellkit-host: " << error << Qt::endl;
    return false;
}

void addPanelActions(ActionTable &table)
{
    table.add({"set", true, "OBJ=VALUE",
               "set a panel widget: check box true/false, text, spin box or slider number, combo "
               "or tab index, path selector path (as typed), list entries as A,B,C",
               [](HostRun &run, const QString &value) {
                   QString name, text;
                   if (!splitAssignment(run, value, &name, &text))
                       return false;
                   QWidget *widget = findWidget(run, name);
                   if (!widget || !setWidgetValue(run, widget, text))
                       return false;
                   // The panel builds its launcher buttons from the script list when its
                   // settings are restored; a list given here is such a setting.
                   if (name == QLatin1String("lwScript"))
                       QMetaObject::invokeMethod(findPanel(run), "OnScriptReload");
                   return true;
               }});
    table.add({"get", true, "OBJ", "print OBJ=VALUE of a panel widget (values as --set takes them)",
               [](HostRun &run, const QString &value) {
                   QWidget *widget = findWidget(run, value);
                   QString text;
                   if (!widget || !widgetValue(run, widget, &text))
                       return false;
                   *run.out << value << '=' << text << Qt::endl;
                   return true;
               }});
    table.add(
        {"click", true, "OBJ", "press a panel button", [](HostRun &run, const QString &value) {
             auto *button = qobject_cast<QAbstractButton *>(findWidget(run, value));
             if (!button)
                 return false;
             button->click();
             return true;
         }});
    table.add({"page", true, "TITLE",
               "click the title of a tool-box page (opens a closed page, closes an open one)",
               clickPageTitle});
    table.add({"select", true, "OBJ=TEXT[,TEXT...]",
               "select list entries by text; for treeWidget, scenes by their Element text",
               [](HostRun &run, const QString &value) {
                   QString name, texts;
                   if (!splitAssignment(run, value, &name, &texts))
                       return false;
                   QWidget *widget = findWidget(run, name);
                   return widget && selectListItems(run, widget, texts.split(QLatin1Char(',')));
               }});
    table.add({"log", true, "FILE", "write the panel's log console at exit (- for stdout)",
               [](HostRun &run, const QString &value) {
                   const bool first = run.logFile.isEmpty();
                   run.logFile = value;
                   if (first)
                       run.atExit.push_back([&run]() { return writeLog(run); });
                   return true;
               }},
              kValueIsPath);
    table.add({"answer", true, "ok|yes|no|cancel", "answer the next message box",
               [](HostRun &run, const QString &value) {
                   if (buttonFor(value) == QMessageBox::NoButton) {
                       *run.err << "cellkit-host: unknown answer " << value << Qt::endl;
                       return false;
                   }
                   run.answers << value;
                   return true;
               }});
    table.add({"choose", true, "PATH", "answer the next file or directory chooser",
               [](HostRun &run, const QString &value) {
                   run.choices << value;
                   return true;
               }},
              kValueIsPath);
    table.add({"config-dir", true, "DIR", "keep configurations and the native store in DIR",
               [](HostRun &, const QString &value) {
                   QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, value);
                   QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, value);
                   return true;
               }},
              kValueIsPath);
    table.add({"config", true, "NAME", "use configuration NAME for this run",
               [](HostRun &, const QString &value) {
                   QSettings store(QSettings::NativeFormat, QSettings::UserScope,
                                   QStringLiteral("Quillmark"), QStringLiteral("cellKit4After"));
                   store.setValue(QStringLiteral("cbSettingsFile"), value);
                   return true;
               }});
}
