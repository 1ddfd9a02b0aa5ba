// The launcher grid: built-in tools first, then the user's programs, eight cells a row.
#pragma once

#include "MyTableWidget.h"
#include "ProgramEntry.h"
#include "RepeatedClick.h"

#include <QList>

class QAction;
class QDragMoveEvent;
class QDropEvent;
class QMenu;

class ProgramTableWidget : public MyTableWidget
{
    Q_OBJECT

public:
    static constexpr int kColumns = 8;
    // The most user programs lup.dat may hold; a larger file is refused whole, and adding and
    // dropping stop there.
    static constexpr int kMaxUserPrograms = 1000;

    explicit ProgramTableWidget(QWidget *parent = nullptr);

    // Places the built-in tools found on this machine from cell start on; they stay fixed.
    bool loadSystemPrograms(int start);
    // Reads the user programs from lup.dat at path and places them after the built-in ones;
    // false only when the file is there but malformed. Later saves go to the same path.
    bool loadPrograms(const QString &path);
    // Writes the user programs whose files still exist to path (atomically); false on failure.
    bool savePrograms(const QString &path);

    // Grows the row count so that n more cells fit.
    void ensureRows(int n);
    // Places entries into consecutive cells from start.
    void addPrograms(int start, const QList<ProgramEntry> &entries);

    // Appends a user program for path; false when nothing exists there.
    bool addProgram(const QString &name, const QString &path);
    // The user program in cell index, or an empty entry for built-in and empty cells.
    ProgramEntry programAt(int index) const;
    // Removes the user program in cell index and closes the gap; false outside the user cells.
    bool deleteProgram(int index);
    // Replaces the user program in cell index; false when nothing exists at path.
    bool modifyProgram(int index, const QString &name, const QString &path);

    // Accepts the proposed action when the drag carries at least one existing local file.
    bool acceptsDrag(QDragMoveEvent *event);
    // Adds the dropped local files and folders that exist; false when the drop has no URLs.
    bool dropFiles(QDropEvent *event);

    int systemProgramCount() const { return m_systemProgramCount; }
    const QList<ProgramEntry> &userPrograms() const { return m_userPrograms; }
    // Where the user list is saved after each change.
    QString storePath() const;

public slots:
    void onSystemProgram();
    void onCustomContextMenuRequested(const QPoint &pos);
    void onAddProgram();
    void onDeleteProgram();
    void onModifyProgram();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QWidget *createCell(const ProgramEntry &entry);
    void placeAt(int index, const ProgramEntry &entry);
    int currentIndex() const;
    void saveChanges();

    QList<ProgramEntry> m_userPrograms;
    int m_systemProgramCount = 0;
    RepeatedClick m_repeatedClick;
    QString m_storePath;
    QMenu *m_menu = nullptr;
    QAction *m_addAction = nullptr;
    QAction *m_deleteAction = nullptr;
    QAction *m_modifyAction = nullptr;
};
