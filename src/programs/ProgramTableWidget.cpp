#include "ProgramTableWidget.h"

#include "ButtonStyle.h"
#include "DataFile.h"
#include "GlobalSettings.h"
#include "ProgramEditorDialog.h"
#include "ProgramFont.h"
#include "ScreenPosition.h"
#include "ShellOpen.h"
#include "SystemTools.h"
#include "XmlWriter.h"

#include <QAction>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QSpacerItem>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString kFallback = u":/icon/logo32"_s;
constexpr int kColumnWidth = 110;
constexpr int kRowHeight = 91;

const QString kScrollBarStyle =
    u"QScrollBar:vertical{width:15px;background-image:url(:/icon/bg_vscrollbar);margin:0px,0px,0px,0px;padding-top:18px;padding-bottom:18px;}"
    u"QScrollBar::handle:vertical{width:8px;background:rgba(0,0,0,25%); border-radius:4px;min-height:20;}"
    u"QScrollBar::handle:vertical:hover{width:8px;background:rgba(0,0,0,50%); border-radius:4px;min-height:20;}"
    u"QScrollBar::add-line:vertical{height:15px;width:8px;background:rgba(0,0,0,25%); border-radius:4px;subcontrol-position:bottom;}"
    u"QScrollBar::sub-line:vertical{height:15px;width:8px;background:rgba(0,0,0,25%); border-radius:4px;subcontrol-position:top;}"
    u"QScrollBar::add-line:vertical:hover{height:15px;width:8px;background:rgba(0,0,0,50%); border-radius:4px;subcontrol-position:bottom;}"
    u"QScrollBar::sub-line:vertical:hover{height:15px;width:8px;background:rgba(0,0,0,50%); border-radius:4px;subcontrol-position:top;}"
    u"QScrollBar::add-page:vertical,QScrollBar::sub-page:vertical{background:rgba(0,0,0,10%);border-radius:4px;}"_s;

const QString kGridStyle = u"QTableView{background-color: rgba(209, 226, 242, 0);}"_s
                           + ButtonStyle::highlighted(u"QToolButton"_s, u"209, 226, 242"_s, u"120,174,229"_s);

} // namespace

ProgramTableWidget::ProgramTableWidget(QWidget *parent)
    : MyTableWidget(parent)
{
    verticalScrollBar()->setStyleSheet(kScrollBarStyle);
    setStyleSheet(kGridStyle);
    setContextMenuPolicy(Qt::CustomContextMenu);
    setFrameShape(QFrame::NoFrame);
    setDragDropMode(QAbstractItemView::DropOnly);
    setDefaultDropAction(Qt::CopyAction);
    setAlternatingRowColors(false);
    setSelectionMode(QAbstractItemView::NoSelection);
    setShowGrid(false);
    horizontalHeader()->setVisible(false);
    horizontalHeader()->setMinimumSectionSize(kColumnWidth);
    horizontalHeader()->setDefaultSectionSize(kColumnWidth);
    verticalHeader()->setVisible(false);
    verticalHeader()->setDefaultSectionSize(kRowHeight);
    verticalHeader()->setMinimumSectionSize(kRowHeight);
    setColumnCount(kColumns);
    setFocusPolicy(Qt::NoFocus);
    // Eight columns fill the page exactly; once the vertical bar shows they would overflow by
    // its width and drag a useless horizontal bar in.
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
}

bool ProgramTableWidget::loadSystemPrograms(int start)
{
    QList<ProgramEntry> entries;
    const QList<SystemTool> tools = SystemTools::builtInTools(SystemTools::defaultSearchPaths());
    for (const SystemTool &tool : tools) {
        const ProgramEntry entry = makeProgramEntry(tool.name, tool.path, tool.fallbackIcon);
        if (!entry.name.isEmpty())
            entries.append(entry);
    }
    addPrograms(start, entries);
    m_systemProgramCount = m_cellCount;
    return true;
}

bool ProgramTableWidget::loadPrograms(const QString &path)
{
    connect(this, &QWidget::customContextMenuRequested, this,
            &ProgramTableWidget::onCustomContextMenuRequested, Qt::UniqueConnection);
    m_storePath = path;

    XmlNode root;
    const DataFile::LoadResult result = DataFile::load(path, DataFile::limits(kMaxUserPrograms), &root);
    if (result == DataFile::Missing || result == DataFile::TooLarge)
        return true;
    if (result == DataFile::Broken) {
        // A file we may not read is no malformed list; either way nothing is placed.
        QFile file(path);
        return !file.open(QIODevice::ReadOnly);
    }

    const XmlNode *program = root.child(u"program");
    if (!program)
        return true;
    for (const XmlNode &p : program->children) {
        const ProgramEntry entry = makeProgramEntry(p.attribute(u"name"), p.attribute(u"path"), kFallback);
        if (!entry.name.isEmpty())
            m_userPrograms.append(entry);
    }
    addPrograms(m_systemProgramCount, m_userPrograms);
    return true;
}

bool ProgramTableWidget::savePrograms(const QString &path)
{
    XmlWriter xml;
    xml.startElement(u"root"_s);
    xml.startElement(u"program"_s);
    for (const ProgramEntry &entry : std::as_const(m_userPrograms)) {
        if (!QFileInfo::exists(entry.path))
            continue;
        xml.startElement(u"p"_s);
        xml.attribute(u"name"_s, entry.name);
        xml.attribute(u"path"_s, entry.path);
        xml.endElement();
    }
    return DataFile::save(path, xml.finish());
}

QString ProgramTableWidget::storePath() const
{
    return m_storePath.isEmpty() ? GlobalSettings::instance()->dataFilePath(u"lup.dat"_s)
                                 : m_storePath;
}

void ProgramTableWidget::ensureRows(int n)
{
    if (m_cellCount + n > rowCount() * columnCount())
        setRowCount((columnCount() + m_cellCount + n - 1) / columnCount());
}

void ProgramTableWidget::addPrograms(int start, const QList<ProgramEntry> &entries)
{
    ensureRows(int(entries.size()));
    for (const ProgramEntry &entry : entries)
        placeAt(start++, entry);
}

void ProgramTableWidget::placeAt(int index, const ProgramEntry &entry)
{
    // Rows are grown by the callers; a stray index past them must not crash.
    if (index / kColumns >= rowCount())
        setRowCount(index / kColumns + 1);
    setCellWidget(index / kColumns, index % kColumns, createCell(entry));
}

void ProgramTableWidget::paintEvent(QPaintEvent *event)
{
    MyTableWidget::paintEvent(event);
    if (cellCount() > 0)
        return;
    // An empty grid would look broken; say how it fills.
    QPainter painter(viewport());
    painter.setPen(QColor(150, 150, 150));
    painter.setFont(ProgramFont::sans(12));
    painter.drawText(viewport()->rect(), Qt::AlignCenter, u"右键或拖入文件添加程序"_s);
}

QWidget *ProgramTableWidget::createCell(const ProgramEntry &entry)
{
    auto *cell = new QWidget(this);
    cell->setFixedSize(112, 91);
    auto *layout = new QVBoxLayout(cell);
    // Centres the 60-pixel button in the 91-pixel row.
    layout->setContentsMargins(0, 15, 0, 0);

    auto *button = new QToolButton(cell);
    button->setFixedSize(100, 60);
    if (!entry.icon.isNull()) {
        button->setIcon(QIcon(entry.icon));
        button->setIconSize(QSize(32, 32));
    }
    button->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    button->setAutoRaise(true);
    button->setText(entry.name);
    button->setToolTip(entry.name);
    button->setObjectName(entry.path);
    connect(button, &QToolButton::clicked, this, &ProgramTableWidget::onSystemProgram);
    layout->addWidget(button, 0, Qt::AlignHCenter);

    layout->addItem(new QSpacerItem(1, 1, QSizePolicy::Minimum, QSizePolicy::Expanding));

    auto *separator = new QWidget(cell);
    separator->setFixedSize(112, 2);
    separator->setStyleSheet(u"background-color:rgb(234,223,223);"_s);
    layout->addWidget(separator);
    return cell;
}

bool ProgramTableWidget::addProgram(const QString &name, const QString &path)
{
    if (m_userPrograms.size() >= kMaxUserPrograms)
        return false;
    const ProgramEntry entry = makeProgramEntry(name, path, kFallback);
    if (entry.name.isEmpty())
        return false;
    m_userPrograms.append(entry);
    ensureRows(1);
    placeAt(m_cellCount, entry);
    return true;
}

ProgramEntry ProgramTableWidget::programAt(int index) const
{
    if (index < m_systemProgramCount || index >= m_cellCount)
        return ProgramEntry();
    return m_userPrograms.value(index - m_systemProgramCount);
}

bool ProgramTableWidget::deleteProgram(int index)
{
    if (index >= m_cellCount || index < m_systemProgramCount)
        return false;
    m_userPrograms.removeAt(index - m_systemProgramCount);
    for (int i = m_systemProgramCount; i < m_cellCount; ++i)
        removeCellWidget(i / kColumns, i % kColumns);
    m_cellCount = m_systemProgramCount;
    const int rowsNeeded = (kColumns + m_cellCount - 1) / kColumns;
    while (rowCount() > 0 && rowCount() - 1 >= rowsNeeded)
        removeRow(rowCount() - 1);
    addPrograms(m_systemProgramCount, m_userPrograms);
    return true;
}

bool ProgramTableWidget::modifyProgram(int index, const QString &name, const QString &path)
{
    if (index >= m_cellCount || index < m_systemProgramCount)
        return false;
    const ProgramEntry entry = makeProgramEntry(name, path, kFallback);
    if (entry.name.isEmpty())
        return false;
    m_userPrograms[index - m_systemProgramCount] = entry;
    placeAt(index, entry);
    return true;
}

bool ProgramTableWidget::acceptsDrag(QDragMoveEvent *event)
{
    const QMimeData *data = event->mimeData();
    if (!data || !data->hasUrls())
        return false;
    const QList<QUrl> urls = data->urls();
    for (const QUrl &url : urls) {
        // The path is tested as it is: case matters on most file systems.
        if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isFile()) {
            event->acceptProposedAction();
            return true;
        }
    }
    return false;
}

bool ProgramTableWidget::dropFiles(QDropEvent *event)
{
    const QMimeData *data = event->mimeData();
    if (!data || !data->hasUrls())
        return false;
    QList<ProgramEntry> entries;
    const QList<QUrl> urls = data->urls();
    for (const QUrl &url : urls) {
        if (!url.isLocalFile() || m_userPrograms.size() + entries.size() >= kMaxUserPrograms)
            continue;
        const ProgramEntry entry = makeProgramEntry(QString(), url.toLocalFile(), kFallback);
        if (!entry.name.isEmpty())
            entries.append(entry);
    }
    addPrograms(m_systemProgramCount + int(m_userPrograms.size()), entries);
    m_userPrograms.append(entries);
    event->acceptProposedAction();
    saveChanges();
    return true;
}

void ProgramTableWidget::onSystemProgram()
{
    const QObject *button = sender();
    // The second click of a double click does not start a second copy of the program.
    if (button && !m_repeatedClick.isRepeat(button->objectName()))
        ShellOpen::openPath(button->objectName());
}

void ProgramTableWidget::onCustomContextMenuRequested(const QPoint &pos)
{
    bool hit = false;
    bool stopped = false;
    int hitRow = 0;
    int hitColumn = 0;
    for (int row = 0; row < rowCount() && !stopped; ++row) {
        for (int column = 0; column < columnCount(); ++column) {
            const QWidget *cell = cellWidget(row, column);
            if (!cell || cell->geometry().contains(pos)) {
                hit = cell != nullptr;
                stopped = true;
                hitRow = row;
                hitColumn = column;
                break;
            }
        }
    }
    if (stopped)
        setCurrentCell(hitRow, hitColumn);

    if (!m_menu) {
        m_menu = new QMenu(this);
        m_menu->setObjectName(u"programMenu"_s);
        m_addAction = m_menu->addAction(u"添加"_s);
        m_deleteAction = m_menu->addAction(u"删除"_s);
        m_modifyAction = m_menu->addAction(u"修改"_s);
        connect(m_addAction, &QAction::triggered, this, &ProgramTableWidget::onAddProgram);
        connect(m_deleteAction, &QAction::triggered, this, &ProgramTableWidget::onDeleteProgram);
        connect(m_modifyAction, &QAction::triggered, this, &ProgramTableWidget::onModifyProgram);
    }
    const bool userCell = hit && hitRow * columnCount() + hitColumn >= m_systemProgramCount;
    m_deleteAction->setEnabled(userCell);
    m_modifyAction->setEnabled(userCell);
    m_addAction->setEnabled(true);
    m_menu->popup(ScreenPosition::toScreen(viewport(), pos));
}

int ProgramTableWidget::currentIndex() const
{
    return currentRow() * columnCount() + currentColumn();
}

void ProgramTableWidget::onAddProgram()
{
    ProgramEditorDialog dialog(this);
    dialog.activateWindow();
    if (dialog.exec() == QDialog::Accepted)
        addProgram(dialog.name(), dialog.path());
    saveChanges();
}

void ProgramTableWidget::onDeleteProgram()
{
    deleteProgram(currentIndex());
    saveChanges();
}

void ProgramTableWidget::onModifyProgram()
{
    const int index = currentIndex();
    const ProgramEntry entry = programAt(index);
    // The menu only offers this on user cells; a stale current cell must not open an empty editor.
    if (entry.name.isEmpty())
        return;
    ProgramEditorDialog dialog(this);
    dialog.setName(entry.name);
    dialog.setPath(entry.path);
    dialog.activateWindow();
    if (dialog.exec() == QDialog::Accepted)
        modifyProgram(index, dialog.name(), dialog.path());
    saveChanges();
}

void ProgramTableWidget::saveChanges()
{
    savePrograms(storePath());
}
