// The website navigation page: the personal block on top, the remote categories below, and the
// context menu that edits the personal block, copies addresses and exports favourites.
#pragma once

#include "RepeatedClick.h"
#include "WebsiteCategory.h"
#include "WebsiteEntry.h"

#include <QScrollArea>

class ClassifiedWebsiteWidget;
class QAction;
class QDialog;
class QMenu;
class QVBoxLayout;

class WebsiteWidget : public QScrollArea
{
    Q_OBJECT

public:
    explicit WebsiteWidget(QWidget *parent = nullptr);

    // Builds the personal block from luw.dat (or the default list) and puts it first; the path is
    // also where later edits are saved.
    bool loadLocalWebsites(const QString &filePath);
    // Rewrites luw.dat from the personal block; false when it cannot be written.
    bool saveLocalWebsites(const QString &filePath);
    // Appends one block per titled category of a websites.xml body; false when the body is empty
    // or malformed (nothing added). A list with categories replaces the saved or built-in ones
    // shown until then, and is kept for the next start when a saved-list path was given.
    bool loadRemoteWebsites(const QByteArray &body);
    // Shows the remote list saved at savedPath by an earlier start, or the built-in categories
    // when there is none, until loadRemoteWebsites brings the current one.
    void loadSavedWebsites(const QString &savedPath);

    // The "个人" block (null before loadLocalWebsites).
    ClassifiedWebsiteWidget *personalBlock() const { return m_personalBlock; }
    // Every block, top to bottom.
    QList<ClassifiedWebsiteWidget *> blocks() const;
    // The website the context menu last opened on.
    WebsiteEntry currentEntry() const { return m_currentEntry; }
    // The context menu (null until first opened).
    QMenu *contextMenu() const { return m_menu; }

public slots:
    void onOpenUrl(const WebsiteEntry &entry);
    void onCustomContextMenuRequested(const QPoint &pos);
    void onAddWebsite();
    void onDeleteWebsite();
    void onModifyWebsite();
    void onAddFavorite();
    void onCopyUrl();

private:
    void connectBlock(ClassifiedWebsiteWidget *block);
    void appendBlocks(const QVector<WebsiteCategory> &categories);
    void createMenu();
    // Takes the hover look off buttons the pointer has left while a menu or dialog held it.
    void dropStaleHover();
    int currentPersonalIndex() const;
    void savePersonal();

    ClassifiedWebsiteWidget *m_personalBlock = nullptr;
    WebsiteEntry m_currentEntry;
    QWidget *m_content = nullptr;
    QVBoxLayout *m_layout = nullptr;
    QString m_localPath;
    QString m_savedRemotePath;
    // Blocks of the saved or built-in list, replaced by the first good remote list.
    QList<ClassifiedWebsiteWidget *> m_provisionalBlocks;
    RepeatedClick m_repeatedClick;

    QMenu *m_menu = nullptr;
    QAction *m_addAction = nullptr;
    QAction *m_deleteAction = nullptr;
    QAction *m_modifyAction = nullptr;
    QAction *m_copyUrlAction = nullptr;
    QAction *m_addFavoriteAction = nullptr;
};
