#pragma once

#include <QScrollArea>
#include <QWidget>

// Puts the focus on the dialog's first control in the Tab order, where a
// dialog made afresh has it. A dialog kept between openings would otherwise
// keep it wherever the last opening left it, on "Отмена" as well.
inline void FocusFirstControl(QWidget& dialog)
{
    for (QWidget* w = dialog.nextInFocusChain(); w && w != &dialog; w = w->nextInFocusChain()) {
        // A widget that hands its focus on is reached through the one it
        // hands it to; a scroll area around the contents is no control.
        if ((w->focusPolicy() & Qt::TabFocus) != Qt::TabFocus || w->focusProxy() || qobject_cast<QScrollArea*>(w))
            continue;
        if (w->window() == &dialog && w->isVisibleTo(&dialog) && w->isEnabled()) {
            w->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
}
