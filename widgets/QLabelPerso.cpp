#include "widgets/QLabelPerso.h"

#include <QMouseEvent>

QLabelPerso::QLabelPerso(QWidget *parent) : QLabel(parent) {}

QLabelPerso::QLabelPerso(const QString &text, QWidget *parent) : QLabel(text, parent) {}

void QLabelPerso::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton)
        Q_EMIT clic();
    QLabel::mousePressEvent(event);
}
