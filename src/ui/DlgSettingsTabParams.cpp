#include "ui/DlgSettingsTabParams.h"

#include "data/SamplingParameters.h"
#include "ui/SettingsFieldText.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

// Captions beside the edits, in the order of SamplingParameters::Fields().
const char16_t* const kLabels[SamplingParameters::FieldCount] = {
    u"Атмосферное давление, кПа",  // GsPressure
    u"Суммарный объём воды, внесенный в первую и вторую поглотительные склянки, см3",  // GsVol1
    u"Объём пробы газа сепарации, измеренный газовым счетчиком, дм3",  // GsVol2
    u"Температура газа в газовом счетчике, °С",  // GsTemp
    u"Атмосферное давление, кПа",  // GdPressure
    u"Суммарный объём раствора сернокислого натрия или воды, внесенный в первую и вторую поглотительные склянки, см3",  // GdVol1
    u"Объём пробы газа дегазации, пропущенный через поглотительные склянки с раствором сернокислого натрия или водой, дм3",  // GdVol2
    u"Плотность дегазированного конденсата, г/см3",  // DcDensity
    u"Средняя молярная масса дегазированного конденсата, г/моль",  // DcAvg
    u"Объём водного экстракта, см3",  // DcVol1
    u"Объём дегазированного конденсата, взятый для анализа метанола, см3",  // DcVol2
    u"Удельный выход КГН, см3/1м3 газа сепарации",  // PgQkgn
    u"Объём пробоотборника, в который отобрана проба КГН, см3",  // PgVol1
    u"Объём газа дегазации, дм3",  // PgVol2
    u"Объём дегазированного конденсата, см3",  // PgVol3
    u"Масса пробоотборника с пробой КГН, г",  // PgMpokgn
    u"Масса пустого пробоотборника, г",  // PgMpoempty
    u"Масса пробоотборника с ДК, г",  // PgMpodc
    u"Масса ловушки с дегазированным конденсатом, г",  // PgMtrapdc
    u"Масса пустой ловушки, г",  // PgMtrapempty
};

struct ParameterGroup
{
    const char16_t* title;
    int first;  // first field of the group
    int count;
};

const ParameterGroup kGroups[] = {
    {u"Газ сепарации", 0, 4},
    {u"Газ дегазации", 4, 3},
    {u"Дегазированный конденсат", 7, 4},
    {u"Пластовый газ", 11, 9},
};

} // namespace

CDlgSettingsTabParams::CDlgSettingsTabParams(SamplingParameters& params, QWidget* parent)
    : QWidget(parent)
    , m_params(params)
{
    const auto& fields = SamplingParameters::Fields();
    auto makeGroup = [&](const ParameterGroup& g) {
        auto* box = new QGroupBox(QString::fromUtf16(g.title));
        auto* grid = new QGridLayout(box);
        grid->setColumnStretch(0, 1);
        for (int k = 0; k < g.count; ++k) {
            const int index = g.first + k;
            auto* label = new QLabel(QString::fromUtf16(kLabels[index]));
            label->setWordWrap(true);
            auto* edit = new QLineEdit;
            edit->setObjectName(QLatin1String(fields[static_cast<std::size_t>(index)].valueName));
            edit->setFixedWidth(100);
            label->setBuddy(edit);
            m_edits[static_cast<std::size_t>(index)] = edit;
            m_groupOf[static_cast<std::size_t>(index)] = QString::fromUtf16(g.title);
            grid->addWidget(label, k, 0);
            grid->addWidget(edit, k, 1, Qt::AlignTop);
        }
        return box;
    };

    auto* left = new QVBoxLayout;
    left->addWidget(makeGroup(kGroups[0]));
    left->addWidget(makeGroup(kGroups[1]));
    left->addWidget(makeGroup(kGroups[2]));
    left->addStretch(1);
    auto* right = new QVBoxLayout;
    right->addWidget(makeGroup(kGroups[3]));
    right->addStretch(1);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addLayout(right, 1);

    ShowMembers();
}

void CDlgSettingsTabParams::ShowMembers()
{
    const auto& fields = SamplingParameters::Fields();
    for (std::size_t i = 0; i < fields.size(); ++i)
        m_edits[i]->setText(FormatFieldNumber(m_params.*fields[i].member));
}

bool CDlgSettingsTabParams::CheckControls(QString* message, QWidget** field) const
{
    double value = 0.0;
    for (std::size_t i = 0; i < m_edits.size(); ++i) {
        if (!ParseFieldNumber(m_edits[i]->text(), &value)) {
            *message = FieldMessage(QString::fromUtf16(kLabels[i]), m_groupOf[i], EnterANumberText());
            *field = m_edits[i];
            return false;
        }
    }
    return true;
}

void CDlgSettingsTabParams::ReadControls()
{
    const auto& fields = SamplingParameters::Fields();
    for (std::size_t i = 0; i < fields.size(); ++i)
        ParseFieldNumber(m_edits[i]->text(), &(m_params.*fields[i].member));
}
