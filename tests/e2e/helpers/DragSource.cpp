// Test helper: a small window that starts a file drag (text/uri-list) when pressed, so that the
// end-to-end tests can drop a file onto the real program with xdotool.
#include <QApplication>
#include <QDrag>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QMouseEvent>
#include <QUrl>

using namespace Qt::StringLiterals;

class DragSource : public QLabel
{
public:
    explicit DragSource(const QString &file)
        : m_file(file)
    {
        setWindowTitle(u"e2e-drag-source"_s);
        setText(QFileInfo(file).fileName());
        setAlignment(Qt::AlignCenter);
        setStyleSheet(u"background: #ffe9a8; border: 2px solid #c08000;"_s);
        setFixedSize(160, 60);
    }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() != Qt::LeftButton)
            return;
        auto *drag = new QDrag(this);
        auto *mime = new QMimeData;
        mime->setUrls({QUrl::fromLocalFile(m_file)});
        drag->setMimeData(mime);
        const Qt::DropAction result = drag->exec(Qt::CopyAction | Qt::LinkAction | Qt::MoveAction, Qt::CopyAction);
        // The test reads the outcome from standard output.
        printf("drop-result %d\n", int(result));
        fflush(stdout);
    }

private:
    QString m_file;
};

// With --target: a window that prints what is dropped on it, to check the drag itself.
class DropProbe : public QLabel
{
public:
    DropProbe()
    {
        setWindowTitle(u"e2e-drop-probe"_s);
        setAcceptDrops(true);
        setFixedSize(300, 200);
    }

protected:
    void dragEnterEvent(QDragEnterEvent *event) override { event->acceptProposedAction(); }
    void dragMoveEvent(QDragMoveEvent *event) override { event->acceptProposedAction(); }
    void dropEvent(QDropEvent *event) override
    {
        event->acceptProposedAction();
        for (const QUrl &url : event->mimeData()->urls())
            printf("dropped %s\n", qPrintable(url.toString()));
        fflush(stdout);
    }
};

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    if (qstrcmp(argv[1], "--target") == 0) {
        DropProbe probe;
        probe.move(600, 300);
        probe.show();
        return app.exec();
    }
    DragSource source(QString::fromLocal8Bit(argv[1]));
    source.move(40, 40);
    source.show();
    return app.exec();
}
