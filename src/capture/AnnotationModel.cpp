#include "AnnotationModel.h"

void AnnotationModel::add(const Annotation &a)
{
    if (a.isEmpty())
        return;
    m_done.append(a);
    m_undone.clear();
    emit changed();
}

bool AnnotationModel::undo()
{
    return moveLast(m_done, m_undone);
}

bool AnnotationModel::redo()
{
    return moveLast(m_undone, m_done);
}

bool AnnotationModel::moveLast(QList<Annotation> &from, QList<Annotation> &to)
{
    if (from.isEmpty())
        return false;
    to.append(from.takeLast());
    emit changed();
    return true;
}

void AnnotationModel::clear()
{
    if (m_done.isEmpty() && m_undone.isEmpty())
        return;
    m_done.clear();
    m_undone.clear();
    emit changed();
}

int AnnotationModel::nextMarkerNumber() const
{
    int highest = 0;
    for (const Annotation &a : m_done) {
        if (a.kind == Annotation::Marker)
            highest = qMax(highest, a.number);
    }
    return highest + 1;
}
