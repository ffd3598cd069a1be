#include "panel/ImportProgressDialog.h"

#include <QCoreApplication>
#include <QProgressDialog>

ImportProgressDialog::ImportProgressDialog(QWidget *parent) : m_parent(parent) {}

ImportProgressDialog::~ImportProgressDialog()
{
    finish();
}

void ImportProgressDialog::start(int sceneCount)
{
    finish();
    m_dialog = new QProgressDialog(m_parent);
    m_dialog->setObjectName(QStringLiteral("importProgress"));
    m_dialog->setWindowTitle(QStringLiteral("Import Scene"));
    m_dialog->setCancelButtonText(QStringLiteral("Stop"));
    m_dialog->setWindowModality(Qt::WindowModal);
    m_dialog->setAutoClose(false);
    m_dialog->setAutoReset(false);
    m_dialog->setMinimumDuration(0);
    m_dialog->setRange(0, sceneCount);
    m_dialog->setValue(0);
    m_dialog->show();
}

void ImportProgressDialog::sceneStarted(int index, int sceneCount, const QString &sceneName)
{
    if (!m_dialog)
        return;
    m_dialog->setLabelText(
        QStringLiteral("Scene %1 of %2\n%3").arg(index).arg(sceneCount).arg(sceneName));
    m_dialog->setValue(index - 1);
}

bool ImportProgressDialog::stopRequested()
{
    if (!m_dialog)
        return false;
    // The run holds the host's idle call; this is where the Stop button gets its click.
    QCoreApplication::processEvents();
    return m_dialog && m_dialog->wasCanceled();
}

void ImportProgressDialog::finish()
{
    delete m_dialog.data();
}
