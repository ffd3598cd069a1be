#pragma once

#include <QComboBox>

// A combo box that ignores the mouse wheel. Table cells hold these, so scrolling a long table
// with the wheel never changes a value the pointer happens to pass over, e.g. a row's "Type"
// staying "Asset" while the user scrolls down to row 20.
class QComboBoxPerso : public QComboBox
{
    Q_OBJECT
public:
    explicit QComboBoxPerso(QWidget *parent = nullptr);

protected:
    void wheelEvent(QWheelEvent *event) override;
};
