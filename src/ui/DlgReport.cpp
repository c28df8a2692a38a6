#include "ui/DlgReport.h"

#include "data/Sentence.h"
#include "platform/Profile.h"
#include "report/ReportGraph.h"
#include "report/ReportText.h"
#include "report/ReportTransform.h"
#include "report/XMLWrapper.h"
#include "ui/DesktopOpen.h"
#include "ui/DialogFocus.h"
#include "ui/EnterKey.h"
#include "ui/WindowPlacement.h"

#include <QCheckBox>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <new>
#include <utility>

namespace {

// The save dialog asks before replacing the file the report goes to, which
// for a name without its ending is not the one typed, and refuses a name
// with double quotes: its name field reads quoted text as a list of names,
// and would save under the first of them in its own folder.
class ReportSaveDialog : public QFileDialog
{
public:
    using QFileDialog::QFileDialog;

    void accept() override
    {
        const QString chosen = selectedFiles().value(0);
        // A folder is entered, not saved to.
        if (chosen.isEmpty() || QFileInfo(chosen).isDir())
            return QFileDialog::accept();
        const QList<QLineEdit*> fields = findChildren<QLineEdit*>();
        if (std::any_of(fields.begin(), fields.end(),
                        [](const QLineEdit* field) { return field->text().contains(QLatin1Char('"')); })) {
            QMessageBox::warning(this, windowTitle(),
                                 QStringLiteral("В имени файла не может быть кавычек (\"): здесь они разделяют "
                                                "несколько имён файлов. Введите имя без кавычек."));
            return;
        }
        const QFileInfo target(SavedReportPath(chosen));
        if (target.exists()
            && QMessageBox::warning(this, windowTitle(),
                                    QStringLiteral("Файл «%1» уже существует.\nЗаменить его?").arg(target.fileName()),
                                    QMessageBox::Yes | QMessageBox::No, QMessageBox::No)
                   != QMessageBox::Yes)
            return;
        QFileDialog::accept();
    }
};

} // namespace

DlgReport::DlgReport(Profile& profile, QWidget* parent)
    : QDialog(parent)
    , m_profile(profile)
    , m_xslPath(GetReportXslPath())
{
    setObjectName(QStringLiteral("DlgReport"));
    setWindowTitle(QStringLiteral("Отчёт"));

    m_editDevice = new QLineEdit(this);
    m_editDevice->setObjectName(QStringLiteral("deviceNumber"));
    m_editOperator = new QLineEdit(this);
    m_editOperator->setObjectName(QStringLiteral("operator"));

    auto* fields = new QGridLayout;
    fields->addWidget(new QLabel(QStringLiteral("Номер прибора:"), this), 0, 0);
    fields->addWidget(m_editDevice, 0, 1);
    fields->addWidget(new QLabel(QStringLiteral("Оператор:"), this), 1, 0);
    fields->addWidget(m_editOperator, 1, 1);
    fields->setColumnMinimumWidth(1, 190);

    auto* frame = new QGroupBox(QStringLiteral("Настройка содержимого отчета"), this);
    auto* boxes = new QVBoxLayout(frame);
    boxes->setContentsMargins(30, 10, 20, 10);
    auto box = [frame, boxes](const char* name, const QString& caption) {
        auto* b = new QCheckBox(caption, frame);
        b->setObjectName(QString::fromLatin1(name));
        boxes->addWidget(b);
        return b;
    };
    m_checkAssayList = box("enableAssayList", QStringLiteral("Список хроматограмм"));
    m_checkMixtureList = box("enableMixtureList", QStringLiteral("Список смесей"));
    m_checkGs = box("enableGsResult", QStringLiteral("Газ сепарации"));
    m_checkGd = box("enableGdResult", QStringLiteral("Газ дегазации"));
    m_checkDc = box("enableDcResult", QStringLiteral("Дегазированный конденсат"));
    m_checkPg = box("enablePgResult", QStringLiteral("Пластовый газ"));
    m_checkMessages = box("enableSystemMsgs", QStringLiteral("Системные сообщения"));

    auto button = [this](const char* name, const QString& caption) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromLatin1(name));
        // No default button: Enter on a field closes the dialog as OK.
        b->setAutoDefault(false);
        b->setMinimumWidth(75);
        return b;
    };
    m_buttonView = button("buttonView", QStringLiteral("Просмотр"));
    m_buttonSave = button("buttonSave", QStringLiteral("Сохранить"));
    m_buttonCancel = button("buttonCancel", QStringLiteral("Отмена"));
    connect(m_buttonView, &QPushButton::clicked, this, &DlgReport::OnBnClickedView);
    connect(m_buttonSave, &QPushButton::clicked, this, &DlgReport::OnBnClickedSave);
    connect(m_buttonCancel, &QPushButton::clicked, this, &DlgReport::reject);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_buttonView);
    buttons->addWidget(m_buttonSave);
    buttons->addWidget(m_buttonCancel);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(11, 11, 11, 11);
    layout->addLayout(fields);
    layout->addSpacing(6);
    layout->addWidget(frame);
    layout->addSpacing(6);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    LoadSettings();
    UpdateData(false);
}

DlgReport::~DlgReport()
{
    SaveSettings();
}

void DlgReport::LoadSettings()
{
    m_fields.LoadSettings(m_profile);
}

void DlgReport::SaveSettings()
{
    m_fields.SaveSettings(m_profile);
}

void DlgReport::UpdateData(bool save)
{
    const struct {
        QCheckBox* box;
        bool ReportSettings::*flag;
    } flags[] = {
        {m_checkAssayList, &ReportSettings::enableAssayList},
        {m_checkMixtureList, &ReportSettings::enableMixtureList},
        {m_checkGs, &ReportSettings::enableGsResult},
        {m_checkGd, &ReportSettings::enableGdResult},
        {m_checkDc, &ReportSettings::enableDcResult},
        {m_checkPg, &ReportSettings::enablePgResult},
        {m_checkMessages, &ReportSettings::enableSystemMsgs},
    };
    if (save) {
        m_fields.deviceNumber = m_editDevice->text();
        m_fields.operatorName = m_editOperator->text();
        for (const auto& f : flags)
            m_fields.*f.flag = f.box->isChecked();
    } else {
        m_editDevice->setText(m_fields.deviceNumber);
        m_editOperator->setText(m_fields.operatorName);
        for (const auto& f : flags)
            f.box->setChecked(m_fields.*f.flag);
    }
}

void DlgReport::showEvent(QShowEvent* event)
{
    // Every opening shows the fields: what was changed and then cancelled is gone.
    if (!event->spontaneous()) {
        UpdateData(false);
        PlaceOverOwner(*this);
        FocusFirstControl(*this);
    }
    QDialog::showEvent(event);
}

void DlgReport::keyPressEvent(QKeyEvent* event)
{
    if (!HandleEnterKey(*this, *event))
        QDialog::keyPressEvent(event);
}

void DlgReport::accept()
{
    UpdateData(true);
    QDialog::accept();
}

void DlgReport::OnBnClickedView()
{
    BuildReport(false);
}

void DlgReport::OnBnClickedSave()
{
    BuildReport(true);
}

QString DlgReport::SaveFolder() const
{
    // A folder that has gone since is no place to start.
    if (!m_fields.saveFolder.isEmpty() && QFileInfo(m_fields.saveFolder).isDir())
        return m_fields.saveFolder;
    return QDir::homePath();
}

QString DlgReport::AskSavePath(const QString& defaultName)
{
    if (saveFileNameHook)
        return saveFileNameHook(this, defaultName);
    // One dialog for the whole run: each new one leaves its icons in Qt's
    // pixmap cache under keys never asked for again, so the program would
    // grow with every save up to the cache's limit.
    if (!m_saveDialog) {
        m_saveDialog = new ReportSaveDialog(this, QString(), QString(), QStringLiteral("html (*.html)"));
        m_saveDialog->setAcceptMode(QFileDialog::AcceptSave);
        // The question is its own; a native dialog would close before either
        // check, and could not stay open for another name.
        m_saveDialog->setOptions(QFileDialog::DontConfirmOverwrite | QFileDialog::DontUseNativeDialog);
        m_saveDialog->setDefaultSuffix(QStringLiteral("html"));
    }
    m_saveDialog->setDirectory(SaveFolder());
    m_saveDialog->selectFile(QDir(SaveFolder()).filePath(defaultName));
    if (m_saveDialog->exec() != QDialog::Accepted)
        return QString();
    return m_saveDialog->selectedFiles().value(0);
}

void DlgReport::ShowReportError(bool save, const QString& path, const QString& reason)
{
    // A parser's collected complaints can run long; the beginning tells enough.
    const QString why = reason.trimmed().isEmpty() ? QStringLiteral("причина неизвестна")
                        : reason.size() > 600      ? reason.left(600) + QStringLiteral("…")
                                                   : reason.trimmed();
    // A paragraph of its own, written as a sentence.
    const QString text = (save ? QStringLiteral("Отчёт не сохранён в файл\n%1\n\n%2")
                               : QStringLiteral("Отчёт для просмотра не создан\n%1\n\n%2"))
                             .arg(QDir::toNativeSeparators(path), AsSentence(why));
    ShowErrorBox(text);
}

void DlgReport::ShowErrorBox(const QString& text)
{
    if (errorBoxHook)
        errorBoxHook(windowTitle(), text);
    else
        QMessageBox::critical(this, windowTitle(), text);
}

void DlgReport::OpenReportPage(const QString& page)
{
    OpenWithDesktop(page, this, openFileHook, [this, page](DesktopOpenResult result) {
        const QString text = DesktopOpenFailureText(result, QStringLiteral("отчёт"), QDir::toNativeSeparators(page));
        if (!text.isEmpty())
            ShowErrorBox(text);
    });
}

bool DlgReport::BuildReport(bool save)
{
    UpdateData(true);
    // The saved report's graph goes beside it, so its name is asked first.
    QString savePath;
    if (save) {
        savePath = AskSavePath(DefaultReportFileName(ReportSettings::FileNameStem(), QDateTime::currentDateTime()));
        if (savePath.isEmpty())
            return false;
        savePath = SavedReportPath(savePath);
    }
    ReportGraphPlace graphPlace = save ? ReportGraphPlace(savePath) : ReportGraphPlace();
    ReportSources sources = m_sources;
    if (!sources.graphImage)
        sources.graphImage = &m_graphImage;
    sources.graphPlace = &graphPlace;

    // Nothing of a failed report is kept, and the dialog stays as it is; a
    // message box says where and why, since a button that seems to do nothing
    // leaves the operator guessing. A graph that is not written fails the
    // report, as a page without it would pass for complete.
    QString viewPath;
    QString reason;
    const auto write = [&]() -> bool {
        // The viewed page's name first, so that every message names it.
        if (!save && (viewPath = CreateReportViewFile(&reason)).isEmpty())
            return false;
        XMLWrapper doc;
        ReportDocument(sources, m_fields).Build(doc);
        reason = graphPlace.Error();
        if (!reason.isEmpty())
            return false;
        if (save) {
            const std::optional<QByteArray> html = TransformReportToHtml(m_xslPath, doc, &reason);
            if (!html || !WriteSavedReport(savePath, *html, graphPlace, &reason))
                return false;
            m_fields.saveFolder = QFileInfo(savePath).absolutePath();
            return true;
        }
        if (!TransformReport(m_xslPath, viewPath, doc, &reason))
            return false;
        OpenReportPage(std::exchange(viewPath, QString()));
        return true;
    };
    try {
        if (write())
            return true;
    } catch (const std::bad_alloc&) {
        reason = QStringLiteral("недостаточно памяти");
    } catch (const std::exception& e) {
        reason = QString::fromUtf8(e.what());
    }
    const QString where = save ? savePath : !viewPath.isEmpty() ? viewPath : ReportTemporaryFolder();
    if (!viewPath.isEmpty())
        QFile::remove(viewPath);
    graphPlace.Discard();
    ShowReportError(save, where, reason);
    return false;
}
