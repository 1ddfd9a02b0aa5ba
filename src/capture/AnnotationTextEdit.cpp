#include "AnnotationTextEdit.h"

#include "Annotation.h"

#include <QKeyEvent>
#include <QTextDocument>

AnnotationTextEdit::AnnotationTextEdit(const QPoint &topLeft, int size, const QColor &color, QWidget *parent)
    : QPlainTextEdit(parent)
{
    setObjectName(QStringLiteral("annotationText_"));
    setFrameShape(QFrame::NoFrame);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setFont(AnnotationPainter::textFont(size));
    document()->setDocumentMargin(0);
    setViewportMargins(0, 0, 0, 0);
    setContentsMargins(0, 0, 0, 0);
    // See-through, so the text shows on the picture as it will be drawn; a dashed frame marks it.
    setStyleSheet(QStringLiteral("QPlainTextEdit{background: transparent; border: 1px dashed %1; color: %1;}")
                      .arg(color.name()));
    setCursor(Qt::IBeamCursor);
    move(topLeft - QPoint(1, 1));
    connect(this, &QPlainTextEdit::textChanged, this, &AnnotationTextEdit::fitText);
    fitText();
}

void AnnotationTextEdit::fitText()
{
    const QFontMetrics metrics(font());
    int width = metrics.horizontalAdvance(QLatin1Char('M'));
    const QStringList lines = toPlainText().split(QLatin1Char('\n'));
    for (const QString &line : lines)
        width = qMax(width, metrics.horizontalAdvance(line) + metrics.averageCharWidth());
    resize(width + 4, int(lines.size()) * metrics.lineSpacing() + 4);
}

void AnnotationTextEdit::keyPressEvent(QKeyEvent *event)
{
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if ((enter && !(event->modifiers() & Qt::ShiftModifier)) || event->key() == Qt::Key_Escape) {
        // Taken here: Escape must end the typing, not the whole capture.
        event->accept();
        if (!m_finished) {
            m_finished = true;
            emit finished();
        }
        return;
    }
    QPlainTextEdit::keyPressEvent(event);
}

void AnnotationTextEdit::focusOutEvent(QFocusEvent *event)
{
    QPlainTextEdit::focusOutEvent(event);
    // A pop-up of the input method takes the focus for a moment; the typing goes on.
    if (event->reason() == Qt::PopupFocusReason || m_finished)
        return;
    m_finished = true;
    emit finished();
}
