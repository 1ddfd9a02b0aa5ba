#include "ClassifiedWebsiteWidget.h"

#include "ProgramFont.h"
#include "XmlTree.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMouseEvent>
#include <QTableWidget>
#include <QTextLayout>
#include <QToolButton>

using namespace Qt::StringLiterals;

namespace {

int g_blockColorCounter = 0;

// Room kept free on each side of a website's name inside its button.
constexpr int TextMargin = 5;
// Point sizes of a name on one line and of a longer one folded onto two lines of its button.
constexpr int NamePointSize = 11;
constexpr int FoldedPointSize = 9;

// The width of every block's title cell: four characters of the title font and some air, so that
// all grids start at the same x and their columns line up from block to block.
int titleWidth(const QFont &font)
{
    return QFontMetrics(font).horizontalAdvance(u"新闻资讯"_s) + 16;
}

// The name on at most two lines of width room (broken between words, or anywhere in Chinese);
// the second line ends in "…" when even two lines are too short.
QString foldName(const QString &name, const QFont &font, int room, bool *shortened)
{
    QTextLayout layout(name, font);
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.beginLayout();
    QTextLine first = layout.createLine();
    first.setLineWidth(room);
    layout.endLayout();
    const QString head = name.left(first.textLength()).trimmed();
    const QString rest = name.mid(first.textLength()).trimmed();
    const QString tail = QFontMetrics(font).elidedText(rest, Qt::ElideRight, room);
    *shortened = tail != rest;
    return head + u'\n' + tail;
}

const QString ButtonStyle = u"QToolButton{background-color: rgba(209, 226, 242, 0);}"
    "QToolButton:hover{background-color: rgba(250, 158, 0, 255);border-width: 1px;"
    "border-color:rgb(9, 159, 229);border-style:solid;color:white;}"
    "QToolButton:pressed{background-color: rgba(250, 158, 0, 255);border-width: 1px;"
    "border-color:rgb(9, 159, 229);border-style:solid;color:white;}"_s;

} // namespace

ClassifiedWebsiteWidget::ClassifiedWebsiteWidget(QWidget *parent)
    : QWidget(parent)
{
    setContextMenuPolicy(Qt::CustomContextMenu);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

bool ClassifiedWebsiteWidget::setCategory(const XmlNode &element)
{
    return readWebsiteCategory(element, &m_category);
}

void ClassifiedWebsiteWidget::setCategory(const WebsiteCategory &category)
{
    m_category = category;
}

int ClassifiedWebsiteWidget::blockColorCounter()
{
    return g_blockColorCounter;
}

void ClassifiedWebsiteWidget::releaseBlockColors(int count)
{
    g_blockColorCounter = qMax(0, g_blockColorCounter - count);
}

bool ClassifiedWebsiteWidget::build()
{
    if (m_grid)
        return false;
    const QColor background = g_blockColorCounter % 2 == 0 ? QColor(255, 255, 255)
                                                          : QColor(232, 237, 240);

    auto *layout = new QHBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 5, 0, 5);
    QPalette blockPalette = palette();
    blockPalette.setColor(QPalette::Window, background);
    setPalette(blockPalette);
    setAutoFillBackground(true);

    m_title = new QLabel(this);
    m_title->setObjectName(u"title"_s);
    m_title->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    m_title->setMinimumWidth(58);
    m_title->setWordWrap(true);
    m_title->setAlignment(Qt::AlignCenter);
    QPalette titlePalette = m_title->palette();
    titlePalette.setColor(QPalette::WindowText, paintColor(m_category.color));
    titlePalette.setColor(QPalette::Window, background);
    m_title->setPalette(titlePalette);
    m_title->setAutoFillBackground(true);
    // Titles come from the network: never let them be read as rich text.
    m_title->setTextFormat(Qt::PlainText);
    m_title->setText(m_category.text);
    m_title->setFont(ProgramFont::sans(14));
    m_title->setFixedWidth(titleWidth(m_title->font()));
    layout->addWidget(m_title);

    m_grid = new QTableWidget(this);
    m_grid->setObjectName(u"grid"_s);
    QPalette gridPalette = m_grid->palette();
    gridPalette.setColor(QPalette::Base, background);
    m_grid->setPalette(gridPalette);
    m_grid->setContextMenuPolicy(Qt::NoContextMenu);
    // The current cell only marks where the menu opened; with focus the table would frame it.
    m_grid->setFocusPolicy(Qt::NoFocus);
    m_grid->setFrameShape(QFrame::NoFrame);
    m_grid->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // The eight columns share the width beside the title, so they line up from block to block
    // and never need a horizontal scroll bar (which would cover the buttons' lower half).
    m_grid->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_grid->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_grid->setSelectionMode(QAbstractItemView::NoSelection);
    m_grid->setShowGrid(false);
    m_grid->horizontalHeader()->hide();
    m_grid->verticalHeader()->hide();
    m_grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_grid->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    fillGrid();
    layout->addWidget(m_grid);

    ++g_blockColorCounter;
    return true;
}

void ClassifiedWebsiteWidget::fillGrid()
{
    const int n = int(m_category.entries.size());
    m_grid->setRowCount((n + ColumnCount - 1) / ColumnCount);
    m_grid->setColumnCount(ColumnCount);
    for (int i = 0; i < n; ++i)
        placeButton(i);
    updateGridHeight();
}

void ClassifiedWebsiteWidget::placeButton(int index)
{
    const WebsiteEntry &entry = m_category.entries.at(index);
    auto *button = new QToolButton(m_grid);
    button->setObjectName(QString::number(index));
    button->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    button->setMinimumSize(90, 25);
    QPalette buttonPalette = button->palette();
    buttonPalette.setColor(QPalette::ButtonText, paintColor(entry.color));
    button->setPalette(buttonPalette);
    button->setToolButtonStyle(Qt::ToolButtonTextOnly);
    button->setAutoRaise(true);
    button->setFont(ProgramFont::song(NamePointSize));
    // A name wider than its column would be cut at both ends. It goes onto two lines in a smaller
    // size (ten characters, the editor's limit, fit); a longer one ends in "…" there and keeps the
    // whole name in the tool tip.
    // The stretched columns may come out a few pixels under the default width.
    const int room = m_grid->horizontalHeader()->defaultSectionSize() - 2 * TextMargin - 4;
    QString shown = entry.text;
    if (QFontMetrics(button->font()).horizontalAdvance(entry.text) > room) {
        button->setFont(ProgramFont::song(FoldedPointSize));
        bool shortened = false;
        shown = foldName(entry.text, button->font(), room, &shortened);
        if (shortened)
            button->setToolTip(entry.text);
    }
    // A lone "&" would hide itself and turn the next letter into an Alt shortcut.
    button->setText(shown.replace(u'&', u"&&"_s));
    button->setStyleSheet(ButtonStyle);
    connect(button, &QToolButton::clicked, this, &ClassifiedWebsiteWidget::onToolButtonClicked);
    // The grid owns the cell widget from here and deletes a replaced one.
    m_grid->setCellWidget(index / ColumnCount, index % ColumnCount, button);
}

void ClassifiedWebsiteWidget::updateGridHeight()
{
    const int rows = m_grid->rowCount();
    const int height = rows == 0 ? 30 : m_grid->rowHeight(0) * rows;
    m_grid->setMinimumHeight(height);
    m_grid->setMaximumHeight(height);
}

void ClassifiedWebsiteWidget::addEntry(const WebsiteEntry &entry)
{
    m_category.entries.append(entry);
    if (!m_grid)
        return;
    const int n = int(m_category.entries.size());
    m_grid->setRowCount((n + ColumnCount - 1) / ColumnCount);
    m_grid->setColumnCount(ColumnCount);
    placeButton(n - 1);
    updateGridHeight();
}

void ClassifiedWebsiteWidget::modifyEntry(int index, const WebsiteEntry &entry)
{
    if (index < 0 || index >= m_category.entries.size())
        return;
    m_category.entries[index] = entry;
    if (m_grid)
        placeButton(index);
}

void ClassifiedWebsiteWidget::deleteEntry(int index)
{
    if (index < 0 || index >= m_category.entries.size())
        return;
    m_category.entries.remove(index);
    if (!m_grid)
        return;
    m_grid->clear();
    m_grid->setRowCount(0);
    fillGrid();
}

int ClassifiedWebsiteWidget::hitTest(const QPoint &pos)
{
    if (!m_grid)
        return -1;
    int row = 0;
    int column = 0;
    int hit = -1;
    for (row = 0; row < m_grid->rowCount() && hit < 0; ++row) {
        for (column = 0; column < m_grid->columnCount(); ++column) {
            QWidget *button = m_grid->cellWidget(row, column);
            if (!button)
                break;
            if (button->rect().contains(button->mapFrom(this, pos))) {
                hit = row * m_grid->columnCount() + column;
                break;
            }
        }
        if (column < m_grid->columnCount())
            break;
    }
    m_grid->setCurrentCell(row, column);
    return hit;
}

void ClassifiedWebsiteWidget::onToolButtonClicked()
{
    const QObject *button = sender();
    if (!button)
        return;
    bool ok = false;
    const int index = button->objectName().toInt(&ok);
    if (ok && index >= 0 && index < m_category.entries.size())
        emit websiteClicked(m_category.entries.at(index));
}

void ClassifiedWebsiteWidget::mousePressEvent(QMouseEvent *event)
{
    // Taken here, so a press on a block never reaches the window (and never drags it).
    event->accept();
}

void ClassifiedWebsiteWidget::mouseReleaseEvent(QMouseEvent *event)
{
    // A lone right-button release is already a context-menu event on every platform; this only
    // catches the right button still held while another one is released.
    if ((event->buttons() & Qt::RightButton) && contextMenuPolicy() == Qt::CustomContextMenu)
        emit customContextMenuRequested(event->position().toPoint());
}
