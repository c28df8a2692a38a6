#pragma once

#include "data/ChromatogramList.h"

#include <QPointer>
#include <QProgressDialog>

#include <memory>

class QWidget;

// The progress of a long reading of chromatogram files: a progress dialog
// that shows up only when the reading outlasts its minimum duration and
// whose "Отмена" stops the reading, keeping what was read.
class ReadProgressDialog
{
public:
    explicit ReadProgressDialog(QWidget* parent);
    ~ReadProgressDialog();
    ReadProgressDialog(const ReadProgressDialog&) = delete;
    ReadProgressDialog& operator=(const ReadProgressDialog&) = delete;

    // The progress to hand to the reading; valid while this object lives.
    ReadProgress progress();

    // How long a reading runs before the dialog shows, in milliseconds.
    static constexpr int MinimumDuration = 700;

private:
    bool report(int done, int total);

    QPointer<QWidget> m_parent;
    std::unique_ptr<QProgressDialog> m_dialog;
};
