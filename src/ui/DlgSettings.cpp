#include "ui/DlgSettings.h"

#include "data/Settings.h"
#include "platform/Profile.h"
#include "ui/DlgSettingsTabChrms.h"
#include "ui/DlgSettingsTabGen.h"
#include "ui/DlgSettingsTabParams.h"
#include "ui/GridCtrl.h"
#include "ui/WindowPlacement.h"

#include <QDialogButtonBox>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString kTitle = QStringLiteral("Настройки расчёта");

} // namespace

DlgSettings::DlgSettings(CSettings* settings, QWidget* parent)
    : QDialog(parent)
    , m_settings(settings)
{
    setWindowTitle(kTitle);
    messageHook = [](QWidget* owner, const QString& text) { QMessageBox::warning(owner, kTitle, text); };

    // Pages show what the profile holds now.
    m_settings->LoadSettings();
    m_openedTypeRules = m_settings->general.typeRules;
    m_openedFolders = m_settings->folders;

    m_tabs = new QTabWidget;
    m_general = new CDlgSettingsTabGen(m_settings->general);
    m_params = new CDlgSettingsTabParams(m_settings->params);
    m_folders = new CDlgSettingsTabChrms(m_settings->folders);
    // The pages scroll on a screen too small for them; OK and Cancel stay in view.
    auto* generalArea = new FittingScrollArea(m_general);
    m_tabs->addTab(generalArea, QStringLiteral("Общие настройки"));
    m_tabs->addTab(new FittingScrollArea(m_params), QStringLiteral("Параметры"));
    m_tabs->addTab(new FittingScrollArea(m_folders), QStringLiteral("Настройки хрм."));
    for (QWidget* page : {static_cast<QWidget*>(m_general), static_cast<QWidget*>(m_params),
                          static_cast<QWidget*>(m_folders)})
        page->installEventFilter(this);
    // The type table does not scroll itself: the page follows the row that
    // the arrows move to.
    CGridCtrl* grid = m_general->typeGrid();
    connect(grid->selectionModel(), &QItemSelectionModel::currentChanged, generalArea,
            [grid, generalArea](const QModelIndex& current) {
                if (!current.isValid())
                    return;
                const QRect cell = grid->visualRect(current);
                const QPoint centre = grid->viewport()->mapTo(generalArea->widget(), cell.center());
                // Half the cell and one pixel each way: the centre rounds down.
                generalArea->ensureVisible(centre.x(), centre.y(), cell.width() / 2 + 1, cell.height() / 2 + 1);
            });

    auto* buttons = new QDialogButtonBox;
    QPushButton* ok = buttons->addButton(QStringLiteral("Ок"), QDialogButtonBox::AcceptRole);
    QPushButton* cancel = buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
    ok->setObjectName(QStringLiteral("okButton"));
    cancel->setObjectName(QStringLiteral("cancelButton"));
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &DlgSettings::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &DlgSettings::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addWidget(buttons);
}

bool DlgSettings::eventFilter(QObject* watched, QEvent* event)
{
    // A page takes Enter and Escape as its own OK and Cancel, which do
    // nothing, so a key meant for a field can neither save nor close.
    if (event->type() == QEvent::KeyPress
        && (watched == m_general || watched == m_params || watched == m_folders)) {
        switch (static_cast<QKeyEvent*>(event)->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
            event->accept();
            return true;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void DlgSettings::showEvent(QShowEvent* event)
{
    if (!event->spontaneous()) {
        PlaceOverOwner(*this);
    }
    QDialog::showEvent(event);
}

void DlgSettings::showMessage(const QString& text)
{
    if (messageHook)
        messageHook(this, text);
}

void DlgSettings::accept()
{
    QString message;
    QWidget* field = nullptr;
    if (!m_general->CheckControls(&message, &field) || !m_params->CheckControls(&message, &field)) {
        for (int i = 0; i < m_tabs->count(); ++i) {
            if (m_tabs->widget(i)->isAncestorOf(field)) {
                m_tabs->setCurrentIndex(i);
                // On a small screen the field may lie out of the page's view.
                static_cast<QScrollArea*>(m_tabs->widget(i))->ensureWidgetVisible(field);
            }
        }
        field->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(field))
            edit->selectAll();
        showMessage(message);
        return;
    }

    m_general->ReadControls();
    m_params->ReadControls();
    m_folders->ReadControls();
    if (Profile* profile = m_settings->profile(); profile && !m_settings->SaveSettings())
        showMessage(ProfileNotWrittenText(*profile, QStringLiteral("настройки")));
    QDialog::accept();
}

void DlgSettings::reject()
{
    // A recalculation after Cancel must not use patterns or folders that no
    // window shows any more.
    m_settings->general.typeRules = m_openedTypeRules;
    m_settings->folders = m_openedFolders;
    QDialog::reject();
}
