#pragma once
// What the library scan and the scene list readers tell the user while they run, and how they
// learn that the user cancelled. The panel implements it over its modal QProgressDialog; tests
// implement it to cancel at a chosen step. Every caller also accepts a null pointer (no dialog).
//
// Example, the panel's side:
//     struct DialogProgress : LoadProgress {
//         QProgressDialog *dialog;
//         void setLabelText(const QString &t) override { dialog->setLabelText(t); }
//         void setRange(int lo, int hi) override { dialog->setRange(lo, hi); }
//         void setValue(int v) override { dialog->setValue(v); }
//         bool wasCanceled() const override { return dialog->wasCanceled(); }
//         void processEvents() override { QCoreApplication::processEvents(); }
//     };
#include <QString>

class LoadProgress
{
public:
    virtual ~LoadProgress() = default;
    virtual void setLabelText(const QString &text) = 0;
    // A range of 0 to 0 is a busy indicator.
    virtual void setRange(int minimum, int maximum) = 0;
    virtual void setValue(int value) = 0;
    virtual bool wasCanceled() const = 0;
    // Lets pending user-interface events (the Cancel button among them) be handled.
    virtual void processEvents() = 0;
};
