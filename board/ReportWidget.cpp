#include "board/ReportWidget.h"

#include "board/Appearance.h"
#include "board/ConfigurationFiles.h"
#include "support/Prompts.h"
#include "widgets/ToolItem.h"
#include "widgets/WToolBox.h"

#include <QApplication>
#include <QDateTime>
#include <QDebug>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QScrollBar>
#include <QSettings>
#include <QStandardPaths>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QUrl>

namespace {
const QString kTitlePrefix = QStringLiteral("Config File :");
const QString kUnsetPrefix = QStringLiteral("unknown-");
const QString kUnsetApplication = QStringLiteral("unknown");
const QString kLockedStyle = QStringLiteral("QComboBox { background-color: #d3d3d3; }");
const QString kPythonInterpreterKey = QStringLiteral("efPythonInterpreter");

// One message as one line of the log file.
QString fileLine(const QString &line)
{
    QString text =
        Qt::mightBeRichText(line) ? QTextDocumentFragment::fromHtml(line).toPlainText() : line;
    for (QChar &c : text) {
        if (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QChar::ParagraphSeparator ||
            c == QChar::LineSeparator)
            c = QLatin1Char(' ');
    }
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss.zzz ")) +
           text + QLatin1Char('\n');
}
} // namespace

ReportWidget::ReportWidget(QWidget *parent) : QWidget(parent)
{
    Ui::SendReportWidget::setupUi(this);
    buildPages();
    connectControls();
    setUpPythonInterpreter();
    // A console of tens of thousands of lines keeps no undo history.
    efLog->document()->setUndoRedoEnabled(false);
    SetSettingPrefixFile(kUnsetPrefix);
    SetSettingApplicationName(kUnsetApplication);
}

ReportWidget::~ReportWidget()
{
    if (LogSink::current() == this)
        LogSink::setCurrent(nullptr);
}

void ReportWidget::buildPages()
{
    m_toolBox = new WToolBox(this);

    auto *messagePage = new QWidget;
    Ui::SendMessage::setupUi(messagePage);
    m_toolBox->addItem(new ToolItem(QStringLiteral("Send Message To Development Team"), messagePage,
                                    nullptr, m_toolBox));

    auto *logPage = new QWidget;
    Ui::Log::setupUi(logPage);
    m_toolBox->addItem(new ToolItem(QStringLiteral("Log"), logPage, nullptr, m_toolBox));

    auto *settingsPage = new QWidget;
    Ui::Settings::setupUi(settingsPage);
    m_toolBox->addItem(
        new ToolItem(QStringLiteral("Settings & Updates"), settingsPage, nullptr, m_toolBox));

    reportLayout->addWidget(m_toolBox);
}

void ReportWidget::connectControls()
{
    connect(pbClearLog, &QPushButton::clicked, this, &ReportWidget::OnPbClearLog);
    connect(pbSaveSettingsNow, &QPushButton::clicked, this, &ReportWidget::OnPbSaveSettingsNow);
    connect(pbLoadSettingsNow, &QPushButton::clicked, this, &ReportWidget::OnPbLoadSettingsNow);
    connect(pbOpenSettings, &QPushButton::clicked, this, &ReportWidget::OnPbOpenSettings);
    connect(pbReloadSettingsList, &QPushButton::clicked, this,
            &ReportWidget::OnPbReloadSettingsList);
    connect(cbColorSet, QOverload<int>::of(&QComboBox::currentIndexChanged), this,
            &ReportWidget::OnColorChanged);
    connect(slColorRange, &QSlider::valueChanged, this, &ReportWidget::OnColorChanged);
    connect(ckFile, &QCheckBox::toggled, this, &ReportWidget::OnCkFileToggled);
    connect(pbVersionInformation, &QPushButton::clicked, this,
            &ReportWidget::OnPbVersionInformation);
}

void ReportWidget::makeProcessLogSink()
{
    LogSink::setCurrent(this);
}

void ReportWidget::appendLogLine(const QString &line)
{
    efLog->append(line);
    writeLogFile({line});
}

// What QTextEdit::append does for each line, in one edit of the document. A run of plain lines
// becomes one paragraph whose lines are split by line separators: it reads, copies and prints
// as the same lines, and a document holds one block per run instead of one per line (tens of
// thousands of blocks cost more than the import that logged them). HTML lines stay paragraphs
// of their own. Each paragraph starts with the formats of the view's own cursor.
void ReportWidget::appendLogLines(const QStringList &lines)
{
    QTextDocument *doc = efLog->document();
    QScrollBar *bar = efLog->verticalScrollBar();
    const bool atBottom =
        efLog->isReadOnly() ? bar->value() >= bar->maximum() : efLog->textCursor().atEnd();
    const QTextCursor own = efLog->textCursor();
    const QTextCharFormat ownCharFormat = own.charFormat();

    QTextCursor tmp(doc);
    tmp.beginEditBlock();
    tmp.movePosition(QTextCursor::End);
    for (int i = 0; i < lines.size();) {
        const bool rich = Qt::mightBeRichText(lines.at(i));
        int end = i + 1;
        while (!rich && end < lines.size() && !Qt::mightBeRichText(lines.at(end)))
            ++end;
        QStringList run = lines.mid(i, end - i);
        i = end;
        // An empty line appended to an empty view leaves it empty.
        while (doc->isEmpty() && !run.isEmpty() && run.first().isEmpty())
            run.removeFirst();
        if (run.isEmpty())
            continue;
        if (!doc->isEmpty())
            tmp.insertBlock(own.blockFormat(), ownCharFormat);
        else
            tmp.setCharFormat(ownCharFormat);
        if (rich)
            tmp.insertFragment(QTextDocumentFragment::fromHtml(run.first(), doc));
        else
            tmp.insertText(run.join(QChar::LineSeparator));
    }
    tmp.endEditBlock();
    if (!own.hasSelection())
        efLog->setCurrentCharFormat(ownCharFormat);
    if (atBottom)
        bar->setValue(bar->maximum());
    writeLogFile(lines);
}

// ---- log file --------------------------------------------------------------------------------

QString ReportWidget::logFilePath()
{
    return QDir(ConfigurationFiles::folder()).filePath(QStringLiteral("cellKit4After.log"));
}

void ReportWidget::OnCkFileToggled(bool on)
{
    m_logFile.close();
    if (!on)
        return;
    m_logFile.setFileName(logFilePath());
    QDir().mkpath(ConfigurationFiles::folder());
    if (!m_logFile.open(QIODevice::WriteOnly | QIODevice::Append))
        stopLogFile(m_logFile.errorString());
}

void ReportWidget::writeLogFile(const QStringList &lines)
{
    if (!m_logFile.isOpen())
        return;
    QByteArray bytes;
    for (const QString &line : lines)
        bytes += fileLine(line).toUtf8();
    QString why;
    if (m_logFile.size() + bytes.size() > kLogFileLimit && m_logFile.size() > 0 &&
        !rotateLogFile(&why)) {
        stopLogFile(why);
        return;
    }
    if (m_logFile.write(bytes) != bytes.size() || !m_logFile.flush())
        stopLogFile(m_logFile.errorString());
}

// The full file becomes cellKit4After.log.1 (the older one goes) and a new one is started.
bool ReportWidget::rotateLogFile(QString *why)
{
    const QString path = m_logFile.fileName();
    const QString old = path + QStringLiteral(".1");
    m_logFile.close();
    if (QFileInfo::exists(old) && !QFile::remove(old)) {
        *why = QStringLiteral("cannot remove %1").arg(QDir::toNativeSeparators(old));
        return false;
    }
    if (!QFile::rename(path, old)) {
        *why = QStringLiteral("cannot rename it to %1").arg(QDir::toNativeSeparators(old));
        return false;
    }
    if (!m_logFile.open(QIODevice::WriteOnly | QIODevice::Append)) {
        *why = m_logFile.errorString();
        return false;
    }
    return true;
}

// Said once, in the view only: the box is unticked, so the line is not written to the file.
void ReportWidget::stopLogFile(const QString &why)
{
    m_logFile.close();
    ckFile->setChecked(false);
    efLog->append(QStringLiteral("-WAR- Log To File : cannot write %1: %2")
                      .arg(QDir::toNativeSeparators(logFilePath()), why));
}

void ReportWidget::OnPbVersionInformation()
{
    Prompts::current().information(
        this, QStringLiteral("Version information"),
        QStringLiteral("cellKit4After %1\nBuild date: %2 %3\nQt: %4 (built with %5)")
            .arg(QStringLiteral(CELLKIT_VERSION), QStringLiteral(__DATE__),
                 QStringLiteral(__TIME__), QString::fromLatin1(qVersion()),
                 QStringLiteral(QT_VERSION_STR)));
}

void ReportWidget::OnPbClearLog()
{
    efLog->clear();
}

// ---- configuration files ----------------------------------------------------------------------

bool ReportWidget::isSettingChoiceLocked() const
{
    return !cbSettingsFile->isEnabled();
}

void ReportWidget::lockSettingChoice()
{
    cbSettingsFile->setEnabled(false);
    cbSettingsFile->setStyleSheet(kLockedStyle);
}

void ReportWidget::unlockSettingChoice()
{
    cbSettingsFile->setEnabled(true);
    cbSettingsFile->setStyleSheet(QString());
}

QString ReportWidget::configurationInTitle(Qt::CaseSensitivity cs) const
{
    return gbSettings->title().remove(kTitlePrefix, cs);
}

void ReportWidget::preloadSettings()
{
    if (m_settingPrefixFile == kUnsetPrefix || m_settingApplicationName == kUnsetApplication) {
        Prompts::current().warning(nullptr, QStringLiteral("CODE ERROR"),
                                   QStringLiteral("PrefixFile or ApplicationName Not Initialized"));
        return;
    }
    OnPbReloadSettingsList();
    cbSettingsFile->setCurrentText(
        ConfigurationFiles::storedConfigurationName(m_settingApplicationName));
}

QString ReportWidget::GetCurrentSettingFileName()
{
    // Each Board preloads once; a panel built again in the same process must read the stored
    // name again rather than fall back to the prefix-only configuration.
    if (m_firstUse) {
        m_firstUse = false;
        preloadSettings();
    }
    const QString name = cbSettingsFile->currentText().trimmed();
    lockSettingChoice();
    gbSettings->setTitle(kTitlePrefix + name);
    return ConfigurationFiles::resolveApplicationName(m_settingPrefixFile + name);
}

void ReportWidget::OnPbLoadSettingsNow()
{
    Q_EMIT SigGlobalLoadSettings(GetCurrentSettingFileName());
}

void ReportWidget::OnPbSaveSettingsNow()
{
    const QString confName = cbSettingsFile->currentText().trimmed();
    ConfigurationFiles::storeConfigurationName(m_settingApplicationName, confName);
    const QString currentConfName = configurationInTitle(Qt::CaseSensitive);
    qWarning() << "confName :" << confName;
    qWarning() << "currentConfName :" << currentConfName;

    const QString applicationName =
        ConfigurationFiles::resolveApplicationName(m_settingPrefixFile + confName);
    const QString file = ConfigurationFiles::filePath(applicationName);
    qWarning() << "SAVE QSetting FileName :" << file;

    if (QFileInfo::exists(file) && confName != currentConfName) {
        const auto answer = Prompts::current().question(
            this, QStringLiteral("Warning !!!"),
            QStringLiteral("You are about to Overwrite an Existing Configuration File "
                           "!!!\n[%1] => [%2]\n\nAre you sure ?")
                .arg(currentConfName, confName),
            Prompts::Buttons(Prompts::Yes | Prompts::No));
        if (answer != Prompts::Yes)
            return;
    }
    unlockSettingChoice();
    gbSettings->setTitle(kTitlePrefix + confName);
    Q_EMIT SigGlobalSaveSettings(applicationName);
}

void ReportWidget::OnPbReloadSettingsList()
{
    cbSettingsFile->clear();
    cbSettingsFile->addItems(ConfigurationFiles::list(m_settingPrefixFile));
    const QString inUse = configurationInTitle(Qt::CaseInsensitive);
    if (!inUse.isEmpty())
        cbSettingsFile->setCurrentText(inUse);
}

void ReportWidget::OnPbOpenSettings()
{
    const QString folder = QDir::toNativeSeparators(ConfigurationFiles::folder());
#ifdef Q_OS_WIN
    QProcess::startDetached(QStringLiteral("cmd"),
                            {QStringLiteral("/c"), QStringLiteral("start"), QStringLiteral(".")},
                            folder);
#else
    QDesktopServices::openUrl(QUrl::fromLocalFile(folder));
#endif
}

QString ReportWidget::GetSettingPrefixFile()
{
    return m_settingPrefixFile;
}

void ReportWidget::SetSettingPrefixFile(QString prefix)
{
    m_settingPrefixFile = prefix;
}

QString ReportWidget::GetSettingApplicationName()
{
    return m_settingApplicationName;
}

void ReportWidget::SetSettingApplicationName(QString name)
{
    m_settingApplicationName = name;
}

// ---- appearance ------------------------------------------------------------------------------

void ReportWidget::OnColorChanged(int)
{
    QPalette palette = QApplication::palette();
    Appearance::buildPalette(palette, cbColorSet->currentIndex(), slColorRange->value() / 100.0);
    QApplication::setPalette(palette);
}

void ReportWidget::LoadSettings(QSettings &settings)
{
    const int colorSet = settings.value(QStringLiteral("cbColorSet"), 0).toInt();
    if (colorSet >= 0 && colorSet < cbColorSet->count())
        cbColorSet->setCurrentIndex(colorSet);
    else
        qWarning() << "-WAR- cbColorSet out of range, ignored:" << colorSet;
    slColorRange->setValue(settings.value(QStringLiteral("slColorRange"), 0).toInt());
    efPythonInterpreter->setText(settings.value(kPythonInterpreterKey).toString());
    ckFile->setChecked(settings.value(QStringLiteral("ckFile"), false).toBool());
}

void ReportWidget::SaveSettings(QSettings &settings) const
{
    settings.setValue(QStringLiteral("cbColorSet"), cbColorSet->currentIndex());
    settings.setValue(QStringLiteral("slColorRange"), slColorRange->value());
    settings.setValue(kPythonInterpreterKey, efPythonInterpreter->text().trimmed());
    settings.setValue(QStringLiteral("ckFile"), ckFile->isChecked());
}

// ---- external asset query ---------------------------------------------------------------------

void ReportWidget::setUpPythonInterpreter()
{
    // The field stays empty until the user chooses: the PATH is looked at again at each query.
    efPythonInterpreter->setPlaceholderText(defaultPythonInterpreter());
    connect(pbPythonInterpreter, &QPushButton::clicked, this, &ReportWidget::OnPbPythonInterpreter);
}

QString ReportWidget::defaultPythonInterpreter()
{
    const QString python3 = QStandardPaths::findExecutable(QStringLiteral("python3"));
    return python3.isEmpty() ? QStandardPaths::findExecutable(QStringLiteral("python")) : python3;
}

QString ReportWidget::pythonInterpreter() const
{
    const QString chosen = efPythonInterpreter->text().trimmed();
    return chosen.isEmpty() ? defaultPythonInterpreter() : chosen;
}

void ReportWidget::OnPbPythonInterpreter()
{
    const QString file =
        Prompts::current().chooseOpenFile(this, QStringLiteral("Select Python Interpreter"),
                                          QFileInfo(pythonInterpreter()).absolutePath(), QString());
    if (!file.isEmpty())
        efPythonInterpreter->setText(QDir::fromNativeSeparators(file));
}
