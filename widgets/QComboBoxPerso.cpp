#include "widgets/QComboBoxPerso.h"

#include <QWheelEvent>

QComboBoxPerso::QComboBoxPerso(QWidget *parent) : QComboBox(parent) {}

void QComboBoxPerso::wheelEvent(QWheelEvent *event)
{
    // Left unaccepted, the wheel goes on to the table, which scrolls.
    event->ignore();
}
