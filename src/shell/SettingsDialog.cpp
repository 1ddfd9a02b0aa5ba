#include "SettingsDialog.h"

#include "AutoStart.h"
#include "CityChooser.h"
#include "GlobalSettings.h"
#include "HotKeySettingEdit.h"
#include "ShowHideHotKey.h"
#include "ProgramFont.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QRadioButton>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {
QFont yaHei(int pointSize)
{
    return ProgramFont::sans(pointSize);
}

QLabel *makeWarning(QWidget *parent, const QString &name, const QString &text)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setStyleSheet(u"color: rgb(220, 0, 0);"_s);
    // The rows below must not jump when the message comes and goes.
    QSizePolicy policy = label->sizePolicy();
    policy.setRetainSizeWhenHidden(true);
    label->setSizePolicy(policy);
    label->hide();
    return label;
}
} // namespace

SettingsDialog::SettingsDialog(QWidget *mainDialog)
    : FramelessDialog(nullptr)
{
    const DialogFrame frame = buildDialogFrame(u"SettingsDialog"_s, u"设置"_s, 47);
    widget_ = frame.closeBar.widget;
    close_ = frame.closeBar.close;
    buildOptions(frame.layout);
    connect(close_, &QToolButton::clicked, this, &SettingsDialog::onClose);

    if (mainDialog)
        m_hotKeyWindow = mainDialog->winId();
    hotKeyEdit_->setTargetWindow(m_hotKeyWindow);
    connect(hotKeyEdit_, &HotKeySettingEdit::registrationFinished, this,
            [this](bool registered) { showHotKeyConflict(!registered); });
}

void SettingsDialog::buildOptions(QVBoxLayout *verticalLayout)
{
    auto *verticalLayout_2 = new QVBoxLayout;
    verticalLayout_2->setObjectName(u"verticalLayout_2"_s);
    verticalLayout_2->setContentsMargins(0, 81, 0, 0);

    auto *label = new QLabel(u"关闭主窗口时："_s, this);
    label->setObjectName(u"label"_s);
    label->setFont(yaHei(16));
    verticalLayout_2->addWidget(label);

    auto *horizontalLayout_4 = new QHBoxLayout;
    horizontalLayout_4->setObjectName(u"horizontalLayout_4"_s);
    quitWhenClose_ = new QRadioButton(u"退出程序"_s, this);
    quitWhenClose_->setObjectName(u"quitWhenClose_"_s);
    quitWhenClose_->setFont(yaHei(11));
    hideWhenClose_ = new QRadioButton(u"隐藏到任务栏"_s, this);
    hideWhenClose_->setObjectName(u"hideWhenClose_"_s);
    hideWhenClose_->setFont(yaHei(11));
    hideWhenClose_->setChecked(true);
    horizontalLayout_4->addWidget(quitWhenClose_);
    horizontalLayout_4->addSpacing(40);
    horizontalLayout_4->addWidget(hideWhenClose_);
    horizontalLayout_4->addStretch();
    verticalLayout_2->addLayout(horizontalLayout_4);

    auto *horizontalLayout = new QHBoxLayout;
    horizontalLayout->setObjectName(u"horizontalLayout"_s);
    auto *label_3 = new QLabel(u"显示/隐藏主窗口的热键:"_s, this);
    label_3->setObjectName(u"label_3"_s);
    hotKeyEdit_ = new HotKeySettingEdit(this);
    hotKeyEdit_->setObjectName(u"hotKeyEdit_"_s);
    hotKeyEdit_->setFont(yaHei(12));
    hotKeyEdit_->setMaxLength(100);
    hotKeyEdit_->setStyleSheet(u"QLineEdit {\n     border-width: 0;\n     border-radius: 3px;\n     background: white;\n"
                               "     selection-background-color: darkgray;\n }"_s);
    auto *label_4 = new QLabel(u"(直接按键盘进行设置)"_s, this);
    label_4->setObjectName(u"label_4"_s);
    horizontalLayout->addWidget(label_3);
    horizontalLayout->addWidget(hotKeyEdit_);
    horizontalLayout->addWidget(label_4);
    horizontalLayout->addStretch();
    verticalLayout_2->addLayout(horizontalLayout);
    buildDesktopRows(verticalLayout_2);
    buildWeatherCityRow(verticalLayout_2);
    verticalLayout_2->addStretch();

    verticalLayout->addLayout(verticalLayout_2);
}

void SettingsDialog::buildDesktopRows(QVBoxLayout *rows)
{
    // Under the key field, where the eye goes after a key press.
    auto *conflictRow = new QHBoxLayout;
    hotKeyConflict_ = makeWarning(this, u"hotKeyConflict_"_s, u"该热键已被其他程序占用"_s);
    conflictRow->addSpacing(findChild<QLabel *>(u"label_3"_s)->sizeHint().width() + 6);
    conflictRow->addWidget(hotKeyConflict_);
    conflictRow->addStretch();
    rows->addLayout(conflictRow);

    auto *autoStartRow = new QHBoxLayout;
    autoStart_ = new QCheckBox(u"开机时自动启动"_s, this);
    autoStart_->setObjectName(u"autoStart_"_s);
    autoStart_->setFont(yaHei(11));
    autoStart_->setVisible(AutoStart::isSupported());
    autoStartError_ = makeWarning(this, u"autoStartError_"_s, u"无法更改开机自动启动设置"_s);
    autoStartRow->addWidget(autoStart_);
    autoStartRow->addSpacing(12);
    autoStartRow->addWidget(autoStartError_);
    autoStartRow->addStretch();
    rows->addSpacing(8);
    rows->addLayout(autoStartRow);
    // Applied at once, like the hot key, so that a failure shows while the dialog is open.
    connect(autoStart_, &QCheckBox::clicked, this, &SettingsDialog::onAutoStartClicked);
}

void SettingsDialog::onAutoStartClicked(bool checked)
{
    const bool done = AutoStart::setEnabled(checked, QCoreApplication::applicationFilePath());
    autoStart_->setChecked(AutoStart::isEnabled());
    autoStartError_->setVisible(!done);
}

void SettingsDialog::showHotKeyConflict(bool refused)
{
    hotKeyConflict_->setVisible(refused);
}

void SettingsDialog::buildWeatherCityRow(QVBoxLayout *column)
{
    auto *row = new QHBoxLayout;
    row->setObjectName(u"weatherCityLayout"_s);
    auto *label = new QLabel(u"天气城市:"_s, this);
    label->setObjectName(u"weatherCityLabel"_s);
    weatherCity_ = new CityChooser(this);
    weatherCity_->setObjectName(u"weatherCity_"_s);
    weatherCity_->setFont(yaHei(12));
    weatherCity_->setMinimumWidth(200);
    auto *hint = new QLabel(u"(自动定位或输入城市名)"_s, this);
    hint->setObjectName(u"weatherCityHint"_s);
    row->addWidget(label);
    row->addWidget(weatherCity_);
    row->addWidget(hint);
    row->addStretch();
    column->addLayout(row);
}

void SettingsDialog::showEvent(QShowEvent *event)
{
    FramelessDialog::showEvent(event);
    GlobalSettings *settings = GlobalSettings::instance();
    weatherCity_->setAreaId(settings->weatherCity());
    hideWhenClose_->setChecked(settings->onlyHideWhenClose());
    quitWhenClose_->setChecked(!settings->onlyHideWhenClose());
    autoStart_->setChecked(AutoStart::isEnabled());
    autoStartError_->hide();
    const int key = settings->hotKey();
    // A stored key that is not held was refused at start (or at the last press).
    showHotKeyConflict(settings->findKeyName(key) && !ShowHideHotKey::isRegistered(m_hotKeyWindow));
    if (!settings->findKeyName(key))
        return;
    hotKeyEdit_->setText(ShowHideHotKey::displayText(key));
    hotKeyEdit_->setCurrentKey(key);
}

void SettingsDialog::onClose()
{
    GlobalSettings *settings = GlobalSettings::instance();
    settings->setOnlyHideWhenClose(hideWhenClose_->isChecked());
    // A text that names no city keeps the stored choice.
    QString areaId;
    if (weatherCity_->areaId(&areaId))
        settings->setWeatherCity(areaId);
    settings->save(settings->settingsFilePath());
    accept();
}
