#include "ui/DlgSettingsTabGen.h"

#include "data/GeneralSettings.h"
#include "ui/SettingsFieldText.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QVBoxLayout>

#include <algorithm>

namespace {

const QString kRoundingCaption = QStringLiteral("Округление значений");
const QString kInProgramCaption = QStringLiteral("В программе:");
const QString kInReportCaption = QStringLiteral("В отчете:");
const QString kStartTimeCaption = QStringLiteral("Начало выхода пробы, мин:");

enum TypeGridColumn { ColumnType = 0, ColumnMethod = 1, ColumnSample = 2 };

QLineEdit* numberEdit(const QString& objectName, int width)
{
    auto* edit = new QLineEdit;
    edit->setObjectName(objectName);
    edit->setFixedWidth(width);
    return edit;
}

QCheckBox* checkBox(const QString& caption, const QString& objectName)
{
    auto* box = new QCheckBox(caption);
    box->setObjectName(objectName);
    return box;
}

} // namespace

CDlgSettingsTabGen::CDlgSettingsTabGen(GeneralSettings& general, QWidget* parent)
    : QWidget(parent)
    , m_general(general)
{
    // Rounding
    m_digitsInProgram = numberEdit(QStringLiteral("qtySymInProg"), 60);
    m_digitsInReport = numberEdit(QStringLiteral("qtySymInReport"), 60);
    auto* rounding = new QGroupBox(kRoundingCaption);
    auto* roundingLayout = new QGridLayout(rounding);
    roundingLayout->addWidget(new QLabel(kInProgramCaption), 0, 0);
    roundingLayout->addWidget(m_digitsInProgram, 0, 1);
    roundingLayout->addWidget(new QLabel(kInReportCaption), 1, 0);
    roundingLayout->addWidget(m_digitsInReport, 1, 1);
    roundingLayout->setColumnStretch(2, 1);

    // Nitrogen corrections
    const QString gradCaption = QStringLiteral("Коррекция азота при градуировке");
    const QString analysisCaption = QStringLiteral("Коррекция азота при анализе");
    m_gsGradCorrect = checkBox(gradCaption, QStringLiteral("enGsGradCorrect"));
    m_gsAnalysCorrect = checkBox(analysisCaption, QStringLiteral("enGsAnalysCorrect"));
    m_gdGradCorrect = checkBox(gradCaption, QStringLiteral("enGdGradCorrect"));
    m_gdAnalysCorrect = checkBox(analysisCaption, QStringLiteral("enGdAnalysCorrect"));
    auto* gsCorrection = new QGroupBox(QStringLiteral("Газ сепарации"));
    auto* gsCorrectionLayout = new QVBoxLayout(gsCorrection);
    gsCorrectionLayout->addWidget(m_gsGradCorrect);
    gsCorrectionLayout->addWidget(m_gsAnalysCorrect);
    auto* gdCorrection = new QGroupBox(QStringLiteral("Газ дегазации"));
    auto* gdCorrectionLayout = new QVBoxLayout(gdCorrection);
    gdCorrectionLayout->addWidget(m_gdGradCorrect);
    gdCorrectionLayout->addWidget(m_gdAnalysCorrect);

    // Blank subtraction
    m_blankSubtraction = checkBox(QStringLiteral("Вычитание холостой хроматограммы"),
                                  QStringLiteral("enBlankSubtraction"));
    m_startTimeLabel = new QLabel(kStartTimeCaption);
    m_startTime = numberEdit(QStringLiteral("TimeStartSample"), 90);
    auto* startTimeRow = new QHBoxLayout;
    startTimeRow->addWidget(m_startTimeLabel);
    startTimeRow->addWidget(m_startTime);
    startTimeRow->addStretch(1);
    connect(m_blankSubtraction, &QCheckBox::toggled, this, [this] { updateStartTimeEnabled(); });

    auto* left = new QVBoxLayout;
    left->addWidget(rounding);
    left->addWidget(gsCorrection);
    left->addWidget(gdCorrection);
    left->addStretch(1);

    // Analysis counts: one pair of radio buttons per count.
    const auto& counts = GeneralSettings::AnalysisCounts();
    auto countGroup = [&](const QString& title, std::initializer_list<std::pair<int, QString>> rows) {
        auto* box = new QGroupBox(title);
        auto* grid = new QGridLayout(box);
        int line = 0;
        for (const auto& [index, caption] : rows) {
            const auto& count = counts[static_cast<std::size_t>(index)];
            auto* group = new QButtonGroup(this);
            group->setObjectName(QLatin1String(count.valueName));
            auto* smaller = new QRadioButton(QString::number(count.smallerRuns));
            auto* larger = new QRadioButton(QString::number(count.largerRuns));
            smaller->setObjectName(QLatin1String(count.valueName) + QStringLiteral("_0"));
            larger->setObjectName(QLatin1String(count.valueName) + QStringLiteral("_1"));
            group->addButton(smaller, 0);
            group->addButton(larger, 1);
            m_counts[static_cast<std::size_t>(index)] = group;
            grid->addWidget(new QLabel(caption), line, 0);
            grid->addWidget(smaller, line, 1);
            grid->addWidget(larger, line, 2);
            ++line;
        }
        grid->setRowStretch(line, 1);
        return box;
    };
    const QString regular = QStringLiteral("Обычные анализы");
    const QString calibration = QStringLiteral("Градуировочные анализы");
    const QString methanol = QStringLiteral("Анализы метанола");
    const QString sulphur = QStringLiteral("Анализы ССС");
    auto* analyses = new QGroupBox(QStringLiteral("Количество анализов"));
    auto* analysesLayout = new QHBoxLayout(analyses);
    analysesLayout->addWidget(countGroup(QStringLiteral("Газ сепарации"),
                                         {{0, regular}, {1, calibration}, {2, methanol}}));
    analysesLayout->addWidget(countGroup(QStringLiteral("Газ дегазации"),
                                         {{3, regular}, {4, calibration}, {5, sulphur}, {6, methanol}}));
    analysesLayout->addWidget(countGroup(QStringLiteral("Дегазированный конденсат"),
                                         {{7, QStringLiteral("Анализы С1С5")}, {8, sulphur},
                                          {9, methanol}, {10, QStringLiteral("Анализы С6С44")}}));

    // The blank subtraction sits under the counts, so the page stays low
    // enough for the whole type table on a 768-pixel screen.
    auto* right = new QVBoxLayout;
    right->addWidget(analyses);
    right->addWidget(m_blankSubtraction);
    right->addLayout(startTimeRow);
    right->addStretch(1);

    auto* top = new QHBoxLayout;
    top->addLayout(left);
    top->addLayout(right, 1);

    // Chromatogram types
    m_grid = new CGridCtrl;
    m_grid->setObjectName(QStringLiteral("typeGrid"));
    m_grid->m_bEditable = true;
    m_grid->setNotifyHandler(this, TypeGridId);
    // The type column as wide as the longest type name in the font in use.
    int typeWidth = 105;
    for (const TypeRule& rule : m_general.typeRules.rules())
        typeWidth = std::max(typeWidth, m_grid->fontMetrics().horizontalAdvance(rule.type) + 12);
    m_grid->InsertColumn(ColumnType, QStringLiteral("Тип"), LVCFMT_LEFT, typeWidth);
    m_grid->InsertColumn(ColumnMethod, QStringLiteral("Методика содержит"), LVCFMT_LEFT, 274);
    m_grid->InsertColumn(ColumnSample, QStringLiteral("Проба содержит"), LVCFMT_LEFT, 274);
    // All fourteen rows and the headings without scrolling.
    m_grid->setMinimumHeight(TypeRuleTable::RowCount * m_grid->verticalHeader()->defaultSectionSize()
                             + m_grid->horizontalHeader()->sizeHint().height()
                             + 2 * m_grid->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) + 2);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_grid, 1);

    ShowMembers();
}

void CDlgSettingsTabGen::ShowMembers()
{
    m_digitsInProgram->setText(QString::number(m_general.qtySymInProg));
    m_digitsInReport->setText(QString::number(m_general.qtySymInReport));
    m_gsGradCorrect->setChecked(m_general.enGsGradCorrect != 0);
    m_gsAnalysCorrect->setChecked(m_general.enGsAnalysCorrect != 0);
    m_gdGradCorrect->setChecked(m_general.enGdGradCorrect != 0);
    m_gdAnalysCorrect->setChecked(m_general.enGdAnalysCorrect != 0);
    m_blankSubtraction->setChecked(m_general.enBlankSubtraction != 0);
    m_startTime->setText(FormatFieldNumber(m_general.TimeStartSample));
    const auto& counts = GeneralSettings::AnalysisCounts();
    for (std::size_t i = 0; i < counts.size(); ++i)
        m_counts[i]->button(m_general.*counts[i].member != 0 ? 1 : 0)->setChecked(true);
    updateStartTimeEnabled();
    fillTypeGrid();
}

void CDlgSettingsTabGen::fillTypeGrid()
{
    m_grid->DeleteAllItems();
    for (int i = 0; i < m_general.typeRules.size(); ++i) {
        const TypeRule& rule = m_general.typeRules[i];
        const int row = m_grid->AddRow();
        if (row < 0)
            break;
        m_grid->SetItemText(row, ColumnType, rule.type);
        m_grid->SetItemText(row, ColumnMethod, rule.methodPattern);
        m_grid->SetItemText(row, ColumnSample, rule.samplePattern);
        m_grid->GetRowStyle(row)->nTag = i;  // the row's place in the type table
    }
}

void CDlgSettingsTabGen::updateStartTimeEnabled()
{
    const bool on = m_blankSubtraction->isChecked();
    m_startTimeLabel->setEnabled(on);
    m_startTime->setEnabled(on);
}

bool CDlgSettingsTabGen::CheckControls(QString* message, QWidget** field) const
{
    int digits = 0;
    double number = 0.0;
    const std::pair<QLineEdit*, QString> digitFields[] = {{m_digitsInProgram, kInProgramCaption},
                                                          {m_digitsInReport, kInReportCaption}};
    for (const auto& [edit, caption] : digitFields) {
        // Any count is kept however large; the formatting alone limits the digits shown.
        if (!ParseFieldCount(edit->text(), &digits)) {
            *message = FieldMessage(caption, kRoundingCaption, EnterAnIntegerText());
            *field = edit;
            return false;
        }
    }
    if (!ParseFieldNumber(m_startTime->text(), &number)) {
        *message = FieldMessage(kStartTimeCaption, QString(), EnterANumberText());
        *field = m_startTime;
        return false;
    }
    return true;
}

void CDlgSettingsTabGen::ReadControls()
{
    ParseFieldCount(m_digitsInProgram->text(), &m_general.qtySymInProg);
    ParseFieldCount(m_digitsInReport->text(), &m_general.qtySymInReport);
    m_general.enGsGradCorrect = m_gsGradCorrect->isChecked() ? 1 : 0;
    m_general.enGsAnalysCorrect = m_gsAnalysCorrect->isChecked() ? 1 : 0;
    m_general.enGdGradCorrect = m_gdGradCorrect->isChecked() ? 1 : 0;
    m_general.enGdAnalysCorrect = m_gdAnalysCorrect->isChecked() ? 1 : 0;
    m_general.enBlankSubtraction = m_blankSubtraction->isChecked() ? 1 : 0;
    ParseFieldNumber(m_startTime->text(), &m_general.TimeStartSample);
    const auto& counts = GeneralSettings::AnalysisCounts();
    for (std::size_t i = 0; i < counts.size(); ++i)
        m_general.*counts[i].member = m_counts[i]->checkedId() == 1 ? 1 : 0;
}

std::intptr_t CDlgSettingsTabGen::onGridNotify(const GridNotify& notify)
{
    if (notify.idFrom != TypeGridId)
        return 0;
    const int row = notify.nParam1;
    const int column = notify.nParam2;
    switch (notify.code) {
    case GN_BEGINEDIT:
        // The type column names the role and is fixed.
        return column == ColumnMethod || column == ColumnSample ? 1 : 0;
    case GN_CELLCHANGED: {
        const GridRowStyle* style = m_grid->GetRowStyle(row);
        if (!style)
            return 1;
        const int rule = static_cast<int>(style->nTag);
        if (rule < 0 || rule >= m_general.typeRules.size())
            return 1;
        const QString text = m_grid->GetItemText(row, column);
        if (column == ColumnMethod)
            m_general.typeRules.SetMethodPattern(rule, text);
        else if (column == ColumnSample)
            m_general.typeRules.SetSamplePattern(rule, text);
        return 1;
    }
    default:
        return 0;
    }
}
