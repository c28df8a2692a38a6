#pragma once

#include <QString>

// A reason shown as a paragraph or line of its own: its first letter
// upper-case, whatever the machine's locale, and a full stop at the end
// unless it ends as a sentence already (".", "!", "?", "…"). Empty stays empty.
QString AsSentence(const QString& reason);
