#include "CaptureToolbar.h"

#include "Annotation.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

struct ToolInfo
{
    Annotation::Kind kind;
    QString name;
    QString tip;
};

const QList<ToolInfo> &tools()
{
    static const QList<ToolInfo> list = {
        {Annotation::Rectangle, u"rectangle"_s, u"矩形"_s},
        {Annotation::Ellipse, u"ellipse"_s, u"椭圆"_s},
        {Annotation::Arrow, u"arrow"_s, u"箭头"_s},
        {Annotation::Pen, u"pen"_s, u"画笔"_s},
        {Annotation::Highlighter, u"highlighter"_s, u"荧光笔"_s},
        {Annotation::Text, u"text"_s, u"文字"_s},
        {Annotation::Mosaic, u"mosaic"_s, u"马赛克"_s},
        {Annotation::Marker, u"marker"_s, u"序号"_s},
    };
    return list;
}

// Icons drawn at twice their size so they stay sharp at a device pixel ratio of 2.
QIcon swatchIcon(const QColor &color)
{
    QPixmap pixmap(32, 32);
    pixmap.setDevicePixelRatio(2);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor(90, 90, 90), 1));
    painter.setBrush(color);
    painter.drawRoundedRect(QRectF(1.5, 1.5, 13, 13), 2, 2);
    return QIcon(pixmap);
}

QIcon dotIcon(qreal diameter)
{
    QPixmap pixmap(32, 32);
    pixmap.setDevicePixelRatio(2);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(40, 70, 110));
    painter.drawEllipse(QPointF(8, 8), diameter / 2, diameter / 2);
    return QIcon(pixmap);
}

} // namespace

CaptureToolbar::CaptureToolbar(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(u"toolbar_"_s);
    setGeometry(80, 70, 162, 26);
    // Keeps the arrow over the buttons while the overlay shows the cross.
    setCursor(Qt::ArrowCursor);
    setAttribute(Qt::WA_StyledBackground);
    setStyleSheet(
        u"QWidget{background-color: rgba(222, 238, 255, 255);border: 1px solid rgb(78,153,210);}\n"
        u"QToolButton{background-color: rgba(209, 226, 242, 0);border:0px;}QToolButton:hover{background-color: rgba(165, 225, 253, 255);border:0px;}QToolButton:pressed{background-color: rgba(165, 225, 253, 255);border:0px;}QToolButton:checked{background-color: rgba(165, 225, 253, 255);border:0px;}\n"
        u"QLabel{border:0px;}"_s);
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->setSizeConstraint(QLayout::SetFixedSize);
    buildActionRow();
    buildOptionsRow();
}

void CaptureToolbar::buildActionRow()
{
    auto *row = new QHBoxLayout;
    row->setObjectName(u"horizontalLayout"_s);
    row->setContentsMargins(5, 1, 1, 1);
    row->setSpacing(1);
    static_cast<QVBoxLayout *>(layout())->addLayout(row);

    size_ = new QLabel(this);
    size_->setObjectName(u"size_"_s);
    QFont font = size_->font();
    font.setPointSize(9);
    size_->setFont(font);
    QPalette palette = size_->palette();
    palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    size_->setPalette(palette);
    size_->setStyleSheet(u"QLabel{border:0px;color: rgb(0, 0, 255);}"_s);
    size_->setText(u"1024 X 1024"_s);
    // Room for the largest size, so the panel does not jump while the selection changes.
    size_->setMinimumWidth(size_->fontMetrics().horizontalAdvance(u"99999×99999"_s) + 4);
    row->addWidget(size_);

    m_tools = new QButtonGroup(this);
    m_tools->setExclusive(false);
    for (const ToolInfo &t : tools()) {
        QToolButton *button = makeToolButton(this, t.name + u'_', QIcon(u":/icon/capture_"_s + t.name),
                                             QSize(16, 16), t.tip);
        button->setCheckable(true);
        m_tools->addButton(button, t.kind);
        row->addWidget(button);
    }
    connect(m_tools, &QButtonGroup::idClicked, this, &CaptureToolbar::onToolClicked);
    row->addSpacing(6);

    undo_ = makeToolButton(this, u"undo_"_s, QIcon(u":/icon/capture_undo"_s), QSize(16, 16), u"撤销 (Ctrl+Z)"_s);
    redo_ = makeToolButton(this, u"redo_"_s, QIcon(u":/icon/capture_redo"_s), QSize(16, 16), u"重做 (Ctrl+Y)"_s);
    auto *pin = makeToolButton(this, u"pin_"_s, QIcon(u":/icon/capture_pin"_s), QSize(16, 16), u"贴到屏幕"_s);
    auto *copy = makeToolButton(this, u"copy_"_s, QIcon(u":/icon/icon_copy"_s), QSize(20, 17), u"复制到剪切板"_s);
    auto *save = makeToolButton(this, u"save_"_s, QIcon(u":/icon/icon_save"_s), QSize(15, 17), u"保存文件"_s);
    auto *share = makeToolButton(this, u"share_"_s, QIcon(u":/icon/icon_mini_weibo"_s), QSize(24, 24), u"分享到微博"_s);
    auto *close = makeToolButton(this, u"close_"_s, QIcon(u":/icon/screencut_close"_s), QSize(16, 16), u"关闭截图"_s);
    row->addWidget(undo_);
    row->addWidget(redo_);
    row->addSpacing(6);
    for (QToolButton *button : {pin, copy, save, share, close})
        row->addWidget(button);
    // Nothing offers the share button; it stays hidden.
    share->hide();
    setHistory(false, false);

    connect(undo_, &QToolButton::clicked, this, &CaptureToolbar::undoClicked);
    connect(redo_, &QToolButton::clicked, this, &CaptureToolbar::redoClicked);
    connect(pin, &QToolButton::clicked, this, &CaptureToolbar::pinClicked);
    connect(copy, &QToolButton::clicked, this, &CaptureToolbar::copyClicked);
    connect(save, &QToolButton::clicked, this, &CaptureToolbar::saveClicked);
    connect(share, &QToolButton::clicked, this, &CaptureToolbar::shareClicked);
    connect(close, &QToolButton::clicked, this, &CaptureToolbar::closeClicked);
}

void CaptureToolbar::buildOptionsRow()
{
    options_ = new QWidget(this);
    options_->setObjectName(u"options_"_s);
    auto *row = new QHBoxLayout(options_);
    row->setContentsMargins(5, 1, 1, 1);
    row->setSpacing(1);

    m_sizes = new QButtonGroup(this);
    const QStringList sizeTips = {u"细"_s, u"中"_s, u"粗"_s};
    for (int i = 0; i < Annotation::kSizeCount; ++i) {
        QToolButton *button = makeToolButton(options_, u"size%1_"_s.arg(i), dotIcon(3 + 3 * i),
                                             QSize(16, 16), sizeTips.at(i));
        button->setCheckable(true);
        m_sizes->addButton(button, i);
        row->addWidget(button);
    }
    m_sizes->button(1)->setChecked(true);
    row->addSpacing(8);

    m_colors = new QButtonGroup(this);
    const QStringList colorTips = {u"红色"_s, u"橙色"_s, u"黄色"_s, u"绿色"_s, u"蓝色"_s, u"黑色"_s, u"白色"_s};
    const QList<QColor> colors = palette();
    for (int i = 0; i < colors.size(); ++i) {
        QToolButton *button = makeToolButton(options_, u"color%1_"_s.arg(i), swatchIcon(colors.at(i)),
                                             QSize(16, 16), colorTips.value(i));
        button->setCheckable(true);
        m_colors->addButton(button, i);
        row->addWidget(button);
    }
    m_colors->button(0)->setChecked(true);
    row->addStretch();
    static_cast<QVBoxLayout *>(layout())->addWidget(options_);
    options_->hide();
}

QToolButton *CaptureToolbar::makeToolButton(QWidget *parent, const QString &objectName, const QIcon &icon,
                                            const QSize &iconSize, const QString &toolTip)
{
    auto *button = new QToolButton(parent);
    button->setObjectName(objectName);
    button->setFixedSize(24, 24);
    button->setAutoRaise(true);
    button->setIcon(icon);
    button->setIconSize(iconSize);
    button->setToolTip(toolTip);
    // The overlay keeps the keyboard for Escape, the arrow keys and undo.
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

QList<QColor> CaptureToolbar::palette()
{
    return {QColor(230, 30, 30), QColor(255, 140, 0), QColor(255, 220, 0), QColor(30, 170, 70),
            QColor(20, 110, 230), QColor(0, 0, 0), QColor(255, 255, 255)};
}

int CaptureToolbar::tool() const
{
    return m_tool;
}

void CaptureToolbar::setTool(int tool)
{
    if (!m_tools->button(tool))
        tool = kNoTool;
    for (QAbstractButton *button : m_tools->buttons())
        button->setChecked(m_tools->id(button) == tool);
    const bool changed = tool != m_tool;
    m_tool = tool;
    if (options_->isVisible() != (tool != kNoTool)) {
        options_->setVisible(tool != kNoTool);
        layout()->activate();
        emit resized();
    }
    if (changed)
        emit toolChanged(tool);
}

void CaptureToolbar::onToolClicked(int id)
{
    // A second click on the chosen tool puts it away again.
    setTool(id == m_tool ? kNoTool : id);
}

QColor CaptureToolbar::color() const
{
    return palette().value(m_colors->checkedId(), palette().first());
}

int CaptureToolbar::lineSize() const
{
    return qMax(0, m_sizes->checkedId());
}

void CaptureToolbar::setSizeText(const QString &text)
{
    size_->setText(text);
}

void CaptureToolbar::setHistory(bool canUndo, bool canRedo)
{
    undo_->setEnabled(canUndo);
    redo_->setEnabled(canRedo);
}
