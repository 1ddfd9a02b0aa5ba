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
    if (m_done.isEmpty())
        return false;
    m_undone.append(m_done.takeLast());
    emit changed();
    return true;
}

bool AnnotationModel::redo()
{
    if (m_undone.isEmpty())
        return false;
    m_done.append(m_undone.takeLast());
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
