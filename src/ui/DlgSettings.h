#pragma once

#include "data/ChromatogramFolders.h"
#include "data/GeneralSettings.h"

#include <QDialog>

#include <functional>

class CSettings;
class CDlgSettingsTabChrms;
class CDlgSettingsTabGen;
class CDlgSettingsTabParams;
class QTabWidget;

// The modal dialog "Настройки расчёта" over the program's settings: three
// pages, OK checks every field, takes them into the settings and saves the
// profile; Cancel saves nothing and puts back the type patterns and folders,
// which the pages change at once. Enter and Escape pressed inside a page do
// nothing; the buttons (and the keys outside the pages) end the dialog.
// Built anew for every opening:
//     DlgSettings dlg(&settings, parent);
//     if (dlg.exec() == QDialog::Accepted) ...recalculate...
class DlgSettings : public QDialog
{
    Q_OBJECT
public:
    // Reloads the settings from their profile before showing them, so what
    // OK saves is what the pages show.
    explicit DlgSettings(CSettings* settings, QWidget* parent = nullptr);

    // Shows a refusal or failure to the user; a warning box unless replaced (tests do).
    std::function<void(QWidget* parent, const QString& text)> messageHook;

    CDlgSettingsTabGen* generalPage() const { return m_general; }
    CDlgSettingsTabParams* paramsPage() const { return m_params; }
    CDlgSettingsTabChrms* foldersPage() const { return m_folders; }
    QTabWidget* tabs() const { return m_tabs; }

    // OK: a field that does not hold a valid value keeps the dialog open
    // with a message naming it, and nothing is taken or saved.
    void accept() override;
    // Cancel, Escape and the close box: the type patterns and folders as
    // they were when the dialog opened.
    void reject() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;

private:
    void showMessage(const QString& text);

    CSettings* m_settings;
    QTabWidget* m_tabs = nullptr;
    CDlgSettingsTabGen* m_general = nullptr;
    CDlgSettingsTabParams* m_params = nullptr;
    CDlgSettingsTabChrms* m_folders = nullptr;
    TypeRuleTable m_openedTypeRules;
    ChromatogramFolders m_openedFolders;
};
