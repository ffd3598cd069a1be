#pragma once

#include <QWidget>

class QAbstractButton;
class QFrame;
class QLabel;
class QLabelPerso;

// The title row of one tool-box page: [>][v][check box][title] ........ [Need Help ?]
//
// Clicking either arrow or the title opens or closes the page's content frame. The optional
// check box (owned by whoever made the page) enables the page: while it is off the page cannot
// be opened and shows no arrow, e.g. an "Options 2" page whose box is unticked stays folded.
class TitleItem : public QWidget
{
    Q_OBJECT
public:
    // `content` is the frame this row opens and closes; `enabler` may be null.
    TitleItem(const QString &title, QFrame *content, QAbstractButton *enabler,
              QWidget *parent = nullptr);

    void setHelpLink(const QString &address);
    void setOpen(bool open);
    bool isOpen() const;

public Q_SLOTS:
    void OnOpenClose();

Q_SIGNALS:
    // After every setOpen, with the state the page is left in.
    void openChanged(bool open);

private:
    bool isEnabledByCheckBox() const;

    QLabelPerso *m_closedArrow = nullptr;
    QLabelPerso *m_openArrow = nullptr;
    QAbstractButton *m_enabler = nullptr; // not owned: it belongs to the page's creator
    QLabelPerso *m_title = nullptr;
    QLabel *m_helpLink = nullptr;
    QFrame *m_content = nullptr; // not owned: it belongs to the ToolItem
};
