#pragma once

#include <QDialog>
#include <QKeyEvent>
#include <QPushButton>

// Enter as the program's dialogs take it: it presses the push button that
// has the focus, whether or not that button is a default one, and elsewhere
// closes the dialog as OK. False, doing nothing, for any other key. The
// keypad's Enter carries the keypad modifier.
inline bool HandleEnterKey(QDialog& dialog, const QKeyEvent& event)
{
    if ((event.key() != Qt::Key_Return && event.key() != Qt::Key_Enter)
        || (event.modifiers() & ~Qt::KeypadModifier) != Qt::NoModifier)
        return false;
    if (auto* focused = qobject_cast<QPushButton*>(dialog.focusWidget()))
        focused->click();
    else
        dialog.accept();
    return true;
}
