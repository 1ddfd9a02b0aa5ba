#include "CityChooser.h"

#include "CodeTable.h"

#include <QCompleter>
#include <QDialogButtonBox>
#include <QHash>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString Automatic = u"自动定位"_s;

struct ChoiceTable
{
    QStringList texts;
    QHash<QString, QString> areaIdOfText;
    QHash<QString, QString> textOfAreaId;
};

const ChoiceTable &choiceTable()
{
    static const ChoiceTable table = [] {
        ChoiceTable t;
        QHash<QString, int> uses;
        for (const CityRow &row : cityRows())
            ++uses[row.name];
        t.texts.append(Automatic);
        t.areaIdOfText.insert(Automatic, QString());
        for (const CityRow &row : cityRows()) {
            const QString text = uses.value(row.name) > 1
                ? row.name + u'（' + provinceOfAreaId(row.areaId) + u'）'
                : row.name;
            t.texts.append(text);
            t.areaIdOfText.insert(text, row.areaId);
            t.textOfAreaId.insert(row.areaId, text);
        }
        return t;
    }();
    return table;
}

} // namespace

CityChooser::CityChooser(QWidget *parent)
    : QLineEdit(parent)
{
    setObjectName(u"cityChooser_"_s);
    setPlaceholderText(u"输入城市名"_s);
    auto *completer = new QCompleter(choices(), this);
    completer->setCaseSensitivity(Qt::CaseInsensitive);
    completer->setFilterMode(Qt::MatchContains);
    completer->setMaxVisibleItems(10);
    setCompleter(completer);
    setText(Automatic);
}

const QStringList &CityChooser::choices()
{
    return choiceTable().texts;
}

QString CityChooser::textOfAreaId(const QString &areaId)
{
    return choiceTable().textOfAreaId.value(areaId, Automatic);
}

bool CityChooser::areaIdOfText(const QString &text, QString *areaId)
{
    const ChoiceTable &table = choiceTable();
    const auto it = table.areaIdOfText.constFind(text);
    if (it == table.areaIdOfText.constEnd())
        return false;
    *areaId = it.value();
    return true;
}

CityDialog::CityDialog(const QString &areaId, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(u"CityDialog"_s);
    setWindowTitle(u"选择天气城市"_s);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(u"天气城市（自动定位或输入城市名）："_s, this));
    m_chooser = new CityChooser(this);
    m_chooser->setAreaId(areaId);
    m_chooser->selectAll();
    layout->addWidget(m_chooser);
    m_hint = new QLabel(this);
    m_hint->setObjectName(u"hint_"_s);
    m_hint->setStyleSheet(u"color: rgb(200, 40, 40);"_s);
    layout->addWidget(m_hint);
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Ok)->setText(u"确定"_s);
    buttons->button(QDialogButtonBox::Cancel)->setText(u"取消"_s);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &CityDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CityDialog::reject);
    setMinimumWidth(320);
}

void CityDialog::accept()
{
    if (!m_chooser->areaId(&m_areaId)) {
        m_hint->setText(u"请从列表中选择城市"_s);
        return;
    }
    QDialog::accept();
}
