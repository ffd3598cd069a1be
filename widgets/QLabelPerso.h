#pragma once

#include <QLabel>

// A label that can be clicked: the arrows and the title of a tool-box page are QLabelPerso, so
// a left-button press anywhere on them opens or closes the page.
class QLabelPerso : public QLabel
{
    Q_OBJECT
public:
    explicit QLabelPerso(QWidget *parent = nullptr);
    explicit QLabelPerso(const QString &text, QWidget *parent = nullptr);

Q_SIGNALS:
    void clic();

protected:
    void mousePressEvent(QMouseEvent *event) override;
};
