#include "WebsiteWidget.h"

#include "ClassifiedWebsiteWidget.h"
#include "FavoritesFolder.h"
#include "GlobalSettings.h"
#include "InternetShortcut.h"
#include "ScreenPosition.h"
#include "UsageReport.h"
#include "WebsiteEditorDialog.h"
#include "WebsiteStore.h"
#include "WebsiteUrl.h"

#include <QAction>
#include <QClipboard>
#include <QCoreApplication>
#include <QCursor>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QMenu>
#include <QScrollBar>
#include <QTableWidget>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

namespace {

const QString ScrollBarStyle =
    u"QScrollBar:vertical{width:16px;border-image:url(:/icon/bg_vscrollbar);margin:0px,0px,0px,0px;"
    "padding-top:18px;padding-bottom:18px;}"
    "QScrollBar::handle:vertical{width:15px;border-image:url(:/icon/vscrollbar_handle) 4 0 4 0;min-height:20;}"
    "QScrollBar::handle:vertical:hover{width:15px;border-image:url(:/icon/vscrollbar_handle) 4 0 4 0;min-height:20;}"
    "QScrollBar::add-line:vertical{height:18px;width:16px;border-image:url(:/icon/scrollbar_down);"
    "subcontrol-position:bottom;}"
    "QScrollBar::sub-line:vertical{height:18px;width:16px;border-image:url(:/icon/scrollbar_up);"
    "subcontrol-position:top;}"
    "QScrollBar::add-line:vertical:hover{height:18px;width:16px;border-image:url(:/icon/scrollbar_down);"
    "subcontrol-position:bottom;}"
    "QScrollBar::sub-line:vertical:hover{height:18px;width:16px;border-image:url(:/icon/scrollbar_up);"
    "subcontrol-position:top;}"
    "QScrollBar::add-page:vertical,QScrollBar::sub-page:vertical{background:rgba(0,0,0,10%);"
    "border-radius:4px;}"_s;

} // namespace

WebsiteWidget::WebsiteWidget(QWidget *parent)
    : QScrollArea(parent)
{
    registerWebsiteEntryType();
    setObjectName(u"websiteWidget"_s);
    verticalScrollBar()->setStyleSheet(ScrollBarStyle);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    m_content = new QWidget(this);
    m_content->setObjectName(u"websiteContent"_s);
    // Below the last block the page stays white, like the page of a browser.
    QPalette contentPalette = m_content->palette();
    contentPalette.setColor(QPalette::Window, Qt::white);
    m_content->setPalette(contentPalette);
    m_content->setAutoFillBackground(true);
    m_layout = new QVBoxLayout(m_content);
    m_layout->setSpacing(0);
    m_layout->setContentsMargins(0, 0, 0, 0);
    // Keeps the blocks packed at the top while the list is shorter than the page.
    m_layout->addStretch(1);
    setWidget(m_content);
    setWidgetResizable(true);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
}

bool WebsiteWidget::loadLocalWebsites(const QString &filePath)
{
    m_localPath = filePath;
    if (m_personalBlock)
        return true;
    m_personalBlock = new ClassifiedWebsiteWidget(m_content);
    m_personalBlock->setObjectName(u"personalBlock"_s);
    m_personalBlock->setCategory(WebsiteStore::loadPersonal(filePath));
    m_personalBlock->build();
    m_layout->insertWidget(0, m_personalBlock, 0, Qt::AlignTop);
    connectBlock(m_personalBlock);
    return true;
}

bool WebsiteWidget::saveLocalWebsites(const QString &filePath)
{
    if (!m_personalBlock)
        return false;
    return WebsiteStore::savePersonal(filePath, m_personalBlock->category().entries);
}

bool WebsiteWidget::loadRemoteWebsites(const QByteArray &body)
{
    QVector<WebsiteCategory> categories;
    if (!WebsiteStore::parseRemote(body, &categories))
        return false;
    // A list without categories would leave the page with the personal block alone.
    if (categories.isEmpty())
        return true;
    if (!m_provisionalBlocks.isEmpty()) {
        for (ClassifiedWebsiteWidget *block : std::as_const(m_provisionalBlocks))
            delete block;
        ClassifiedWebsiteWidget::releaseBlockColors(int(m_provisionalBlocks.size()));
        m_provisionalBlocks.clear();
    }
    appendBlocks(categories);
    if (!m_savedRemotePath.isEmpty())
        WebsiteStore::saveRemote(m_savedRemotePath, body);
    return true;
}

void WebsiteWidget::loadSavedWebsites(const QString &savedPath)
{
    m_savedRemotePath = savedPath;
    QVector<WebsiteCategory> categories = WebsiteStore::loadSavedRemote(savedPath);
    if (categories.isEmpty())
        categories = WebsiteStore::builtinCategories();
    const int before = int(blocks().size());
    appendBlocks(categories);
    const QList<ClassifiedWebsiteWidget *> all = blocks();
    m_provisionalBlocks = all.mid(before);
}

void WebsiteWidget::appendBlocks(const QVector<WebsiteCategory> &categories)
{
    for (const WebsiteCategory &category : categories) {
        auto *block = new ClassifiedWebsiteWidget(m_content);
        block->setObjectName(u"remoteBlock"_s);
        block->setCategory(category);
        block->build();
        // Before the closing stretch, after every block already shown.
        m_layout->insertWidget(m_layout->count() - 1, block);
        connectBlock(block);
    }
}

QList<ClassifiedWebsiteWidget *> WebsiteWidget::blocks() const
{
    QList<ClassifiedWebsiteWidget *> result;
    for (int i = 0; i < m_layout->count(); ++i) {
        if (auto *block = qobject_cast<ClassifiedWebsiteWidget *>(m_layout->itemAt(i)->widget()))
            result.append(block);
    }
    return result;
}

void WebsiteWidget::connectBlock(ClassifiedWebsiteWidget *block)
{
    connect(block, &ClassifiedWebsiteWidget::websiteClicked, this, &WebsiteWidget::onOpenUrl);
    connect(block, &QWidget::customContextMenuRequested, this,
            &WebsiteWidget::onCustomContextMenuRequested);
}

void WebsiteWidget::onOpenUrl(const WebsiteEntry &entry)
{
    if (entry.url.isEmpty())
        return;
    // The second click of a double click does not open the page again.
    if (m_repeatedClick.isRepeat(entry.url))
        return;
    reportAction(u"wb_"_s + entry.text);
    // Only the user's own list may name schemes other than the web's; the remote list comes
    // from the network and must not start local files or other handlers.
    const bool typedByUser = m_personalBlock && sender() == m_personalBlock;
    const QUrl url = websiteUrlToOpen(entry.url, typedByUser);
    if (url.isValid())
        QDesktopServices::openUrl(url);
}

void WebsiteWidget::createMenu()
{
    m_menu = new QMenu(this);
    m_menu->setObjectName(u"websiteMenu"_s);
    const auto addAction = [this](const QString &text, const QString &name, void (WebsiteWidget::*slot)()) {
        QAction *action = m_menu->addAction(text);
        action->setObjectName(name);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    m_addAction = addAction(u"添加"_s, u"actionAdd"_s, &WebsiteWidget::onAddWebsite);
    m_deleteAction = addAction(u"删除"_s, u"actionDelete"_s, &WebsiteWidget::onDeleteWebsite);
    m_modifyAction = addAction(u"修改"_s, u"actionModify"_s, &WebsiteWidget::onModifyWebsite);
    m_copyUrlAction = addAction(u"复制链接地址"_s, u"actionCopyUrl"_s, &WebsiteWidget::onCopyUrl);
    m_addFavoriteAction = addAction(u"加入IE收藏夹"_s, u"actionAddFavorite"_s, &WebsiteWidget::onAddFavorite);
    // After the menu's turn the event loop may deliver the pointer's way out of the button late.
    connect(m_menu, &QMenu::aboutToHide, this, [this] { QTimer::singleShot(0, this, &WebsiteWidget::dropStaleHover); });
}

void WebsiteWidget::dropStaleHover()
{
    // A popup menu or a modal editor takes the pointer away without the button under it being
    // told, so it would stay orange until the pointer crosses it again.
    const QPoint cursor = QCursor::pos();
    for (QToolButton *button : m_content->findChildren<QToolButton *>()) {
        if (!button->underMouse() || button->rect().contains(button->mapFromGlobal(cursor)))
            continue;
        button->setAttribute(Qt::WA_UnderMouse, false);
        QEvent leave(QEvent::Leave);
        QCoreApplication::sendEvent(button, &leave);
        button->update();
    }
}

void WebsiteWidget::onCustomContextMenuRequested(const QPoint &pos)
{
    auto *block = qobject_cast<ClassifiedWebsiteWidget *>(sender());
    if (!block)
        return;
    const bool personal = block == m_personalBlock;
    if (!m_menu)
        createMenu();

    const int hit = block->hitTest(pos);
    if (!personal && hit < 0)
        return;

    const bool onWebsite = hit >= 0;
    m_addAction->setEnabled(personal);
    m_deleteAction->setEnabled(onWebsite && personal);
    m_modifyAction->setEnabled(onWebsite && personal);
    m_copyUrlAction->setEnabled(onWebsite);
    m_addFavoriteAction->setEnabled(onWebsite);
    if (onWebsite)
        m_currentEntry = block->category().entries.at(hit);
    m_menu->popup(ScreenPosition::toScreen(block, pos));
}

int WebsiteWidget::currentPersonalIndex() const
{
    const QTableWidget *grid = m_personalBlock ? m_personalBlock->grid() : nullptr;
    if (!grid || grid->currentRow() < 0 || grid->currentColumn() < 0)
        return -1;
    return grid->currentRow() * grid->columnCount() + grid->currentColumn();
}

void WebsiteWidget::savePersonal()
{
    const QString path = m_localPath.isEmpty()
        ? GlobalSettings::instance()->dataFilePath(u"luw.dat"_s)
        : m_localPath;
    // A failed save keeps the change for this run; the old file stays intact.
    saveLocalWebsites(path);
}

void WebsiteWidget::onAddWebsite()
{
    // A list beyond what luw.dat may hold would be refused at the next start.
    if (!m_personalBlock || m_personalBlock->category().entries.size() >= WebsiteStore::maxPersonalEntries())
        return;
    WebsiteEditorDialog dialog(this);
    dialog.activateWindow();
    const int result = dialog.exec();
    dropStaleHover();
    if (result != QDialog::Accepted)
        return;
    m_personalBlock->addEntry({dialog.name(), dialog.url(), 0xFF000000});
    savePersonal();
}

void WebsiteWidget::onDeleteWebsite()
{
    const int index = currentPersonalIndex();
    if (index < 0 || index >= m_personalBlock->category().entries.size())
        return;
    m_personalBlock->deleteEntry(index);
    savePersonal();
}

void WebsiteWidget::onModifyWebsite()
{
    const int index = currentPersonalIndex();
    if (index < 0 || index >= m_personalBlock->category().entries.size())
        return;
    const WebsiteEntry old = m_personalBlock->category().entries.at(index);
    WebsiteEditorDialog dialog(this);
    dialog.setName(old.text);
    dialog.setUrl(old.url);
    dialog.activateWindow();
    const int result = dialog.exec();
    dropStaleHover();
    if (result != QDialog::Accepted)
        return;
    m_personalBlock->modifyEntry(index, {dialog.name(), dialog.url(), 0xFF000000});
    savePersonal();
}

void WebsiteWidget::onAddFavorite()
{
    // A shortcut that cannot be written is skipped without a message.
    InternetShortcut::write(KnownFolders::favorites(), m_currentEntry);
}

void WebsiteWidget::onCopyUrl()
{
    QGuiApplication::clipboard()->setText(m_currentEntry.url);
}
