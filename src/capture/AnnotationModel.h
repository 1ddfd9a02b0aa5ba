// The annotations of one capture in drawing order, with undo and redo.
#pragma once

#include "Annotation.h"

#include <QObject>

class AnnotationModel : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    const QList<Annotation> &annotations() const { return m_done; }
    // Appends a (ignored when it would paint nothing) and forgets what could be redone.
    void add(const Annotation &a);
    // Takes back the last annotation; false when there is none.
    bool undo();
    // Puts back the last annotation taken back; false when there is none.
    bool redo();
    bool canUndo() const { return !m_done.isEmpty(); }
    bool canRedo() const { return !m_undone.isEmpty(); }
    // Forgets everything, also what could be redone.
    void clear();
    // The number the next step marker gets: one more than the highest one shown.
    int nextMarkerNumber() const;

signals:
    void changed();

private:
    bool moveLast(QList<Annotation> &from, QList<Annotation> &to);

    QList<Annotation> m_done;
    QList<Annotation> m_undone;
};
