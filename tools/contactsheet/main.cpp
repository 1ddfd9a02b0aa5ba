// Lays every picture of the program out on one labelled sheet, so the whole set can be judged at a glance.
#include <QFile>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QRegularExpression>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

struct Entry
{
    QString name;
    QSize size;
};

QList<Entry> readManifest(const QString &path)
{
    QList<Entry> entries;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return entries;
    while (!file.atEnd()) {
        const QString line = QString::fromUtf8(file.readLine()).trimmed();
        if (line.isEmpty() || line.startsWith(u'#'))
            continue;
        const QStringList f = line.split(QRegularExpression(u"\\s+"_s), Qt::SkipEmptyParts);
        if (f.size() == 4)
            entries.append({f.at(0), QSize(f.at(2).toInt(), f.at(3).toInt())});
    }
    return entries;
}

const QColor kLight(236, 242, 251);
const QColor kBlue(7, 101, 145);
const QColor kInk(40, 52, 66);
const QColor kMissing(220, 40, 40);

void drawChecker(QPainter &p, const QRect &r)
{
    p.save();
    p.setClipRect(r);
    for (int y = r.top(); y < r.bottom(); y += 8) {
        for (int x = r.left(); x < r.right(); x += 8) {
            const bool dark = ((x - r.left()) / 8 + (y - r.top()) / 8) % 2;
            p.fillRect(x, y, 8, 8, dark ? QColor(214, 218, 224) : QColor(246, 247, 249));
        }
    }
    p.restore();
}

// Fits a picture into a box without ever enlarging it.
QRect fitted(const QSize &picture, const QRect &box)
{
    QSize s = picture;
    if (s.width() > box.width() || s.height() > box.height())
        s.scale(box.size(), Qt::KeepAspectRatio);
    return QRect(box.center().x() - s.width() / 2 + 1, box.center().y() - s.height() / 2 + 1, s.width(),
                 s.height());
}

class Sheet
{
public:
    explicit Sheet(int width) : m_width(width) {}

    // One row of tiles; each tile draws itself into its rectangle.
    struct Tile
    {
        QString label;
        QImage image;
        QSize expected;
        QSize box;      // where the picture goes
        QSize preview;  // 0: no small previews; else the display size to show on light and blue
    };

    void heading(const QString &text)
    {
        m_items.append({text, {}, {}, {}, {}});
        m_breaks.append(m_items.size() - 1);
    }
    void add(const Tile &t) { m_items.append(t); }

    QImage render() const
    {
        // First pass lays out, second pass paints.
        QList<QRect> rects;
        int x = kMargin, y = kMargin, rowHeight = 0;
        for (int i = 0; i < m_items.size(); ++i) {
            const Tile &t = m_items.at(i);
            if (m_breaks.contains(i)) {
                y += rowHeight + (i ? 18 : 0);
                rects.append(QRect(kMargin, y, m_width - 2 * kMargin, 30));
                y += 38;
                x = kMargin;
                rowHeight = 0;
                continue;
            }
            const QSize size = tileSize(t);
            if (x + size.width() > m_width - kMargin) {
                x = kMargin;
                y += rowHeight + kGap;
                rowHeight = 0;
            }
            rects.append(QRect(QPoint(x, y), size));
            x += size.width() + kGap;
            rowHeight = qMax(rowHeight, size.height());
        }
        const int height = y + rowHeight + kMargin;

        QImage sheet(m_width, height, QImage::Format_ARGB32_Premultiplied);
        sheet.fill(Qt::white);
        QPainter p(&sheet);
        p.setRenderHint(QPainter::Antialiasing);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        for (int i = 0; i < m_items.size(); ++i) {
            if (m_breaks.contains(i))
                paintHeading(p, rects.at(i), m_items.at(i).label);
            else
                paintTile(p, rects.at(i), m_items.at(i));
        }
        return sheet;
    }

private:
    static constexpr int kMargin = 16;
    static constexpr int kGap = 12;
    static constexpr int kLabel = 34;

    static QSize tileSize(const Tile &t)
    {
        int w = t.box.width() + 16, h = t.box.height() + 16 + kLabel;
        if (!t.preview.isEmpty()) {
            w = qMax(w, 2 * (t.preview.width() + 16) + 8);
            h += t.preview.height() + 16;
        }
        return QSize(qMax(w, 120), h);
    }

    static void paintHeading(QPainter &p, const QRect &r, const QString &text)
    {
        QLinearGradient g(r.topLeft(), r.topRight());
        g.setColorAt(0, QColor(40, 113, 213));
        g.setColorAt(1, kBlue);
        p.fillRect(r, g);
        QFont f = p.font();
        f.setPixelSize(16);
        f.setBold(true);
        p.setFont(f);
        p.setPen(Qt::white);
        p.drawText(r.adjusted(10, 0, 0, 0), Qt::AlignVCenter | Qt::AlignLeft, text);
    }

    static void paintTile(QPainter &p, const QRect &r, const Tile &t)
    {
        p.setPen(QColor(200, 212, 228));
        p.setBrush(Qt::NoBrush);
        p.drawRect(r.adjusted(0, 0, -1, -1));

        const QRect box(r.left() + (r.width() - t.box.width()) / 2, r.top() + 8, t.box.width(), t.box.height());
        drawChecker(p, box);
        if (!t.image.isNull())
            p.drawImage(fitted(t.image.size(), box), t.image);

        int y = box.bottom() + 8;
        if (!t.preview.isEmpty() && !t.image.isNull()) {
            const QSize cell(t.preview.width() + 16, t.preview.height() + 16);
            const int x0 = r.left() + (r.width() - 2 * cell.width() - 8) / 2;
            const QRect light(QPoint(x0, y), cell);
            const QRect blue(QPoint(x0 + cell.width() + 8, y), cell);
            p.fillRect(light, kLight);
            p.fillRect(blue, kBlue);
            // Shown the way a QIcon shows it at the widget's icon size.
            const QImage small = t.image.scaled(t.preview, Qt::KeepAspectRatio, Qt::SmoothTransformation);
            p.drawImage(fitted(small.size(), light.adjusted(8, 8, -8, -8)), small);
            p.drawImage(fitted(small.size(), blue.adjusted(8, 8, -8, -8)), small);
            y += cell.height() + 4;
        }

        QFont f = p.font();
        f.setPixelSize(12);
        f.setBold(true);
        p.setFont(f);
        const bool sizeOk = !t.image.isNull() && t.image.size() == t.expected;
        p.setPen(t.image.isNull() ? kMissing : kInk);
        const QRect text(r.left() + 4, y, r.width() - 8, 16);
        p.drawText(text, Qt::AlignHCenter | Qt::AlignTop, p.fontMetrics().elidedText(t.label, Qt::ElideMiddle, text.width()));
        f.setBold(false);
        p.setFont(f);
        p.setPen(sizeOk ? QColor(110, 124, 140) : kMissing);
        const QString dims = t.image.isNull()
            ? u"MISSING"_s
            : u"%1×%2"_s.arg(t.image.width()).arg(t.image.height())
                  + (sizeOk ? QString() : u" (wants %1×%2)"_s.arg(t.expected.width()).arg(t.expected.height()))
                  + (t.preview.isEmpty() ? QString() : u"  at %1×%2"_s.arg(t.preview.width()).arg(t.preview.height()));
        p.drawText(text.translated(0, 15), Qt::AlignHCenter | Qt::AlignTop, dims);
    }

    int m_width;
    QList<Tile> m_items;
    QList<int> m_breaks;
};

// The size a picture is shown at in the program, for the small previews; empty when shown as it is.
QSize displaySize(const Entry &e)
{
    const bool doubled = e.size.width() >= 24 && e.size.width() <= 80 && e.size.height() >= 20
        && e.size.height() <= 80 && e.name != u"logo32"_s && e.name != u"logo48"_s;
    return doubled ? e.size / 2 : QSize();
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: contactsheet <icons.txt> <artwork.txt> <Resources dir> <out.png>\n");
        return 2;
    }
    const QString resources = args.at(3).endsWith(u'/') ? args.at(3) : args.at(3) + u'/';
    Sheet sheet(1400);

    sheet.heading(u"Embedded pictures  :/icon/<name>   (box: as drawn; strips: at the size the forms show them)"_s);
    for (const Entry &e : readManifest(args.at(1))) {
        const QImage image(u":/icon/"_s + e.name);
        const QSize box = e.size.width() > 200 ? QSize(240, 122) : QSize(qMax(64, e.size.width()), qMax(64, e.size.height()));
        sheet.add({e.name, image, e.size, box, displaySize(e)});
    }

    const QList<Entry> art = readManifest(args.at(2));
    sheet.heading(u"Resources/ backgrounds"_s);
    for (const Entry &e : art) {
        if (e.name.startsWith(u"weather/"_s))
            continue;
        const QSize box = e.size.height() > 300 && e.size.width() < 10 ? QSize(20, 225)
                                                                        : e.size.boundedTo(QSize(420, 240));
        sheet.add({e.name, QImage(resources + e.name), e.size, box.expandedTo(QSize(20, 20)), QSize()});
    }

    sheet.heading(u"Resources/weather/day   (strips: scaled into the 70×70 labels of the forecast panel)"_s);
    for (const Entry &e : art) {
        if (!e.name.startsWith(u"weather/"_s))
            continue;
        const QString code = e.name.section(u'/', -1).section(u'.', 0, 0);
        sheet.add({code, QImage(resources + e.name), e.size, QSize(100, 100), QSize(70, 70)});
    }

    const QImage out = sheet.render();
    if (!out.save(args.at(4))) {
        std::fprintf(stderr, "contactsheet: cannot write %s\n", qPrintable(args.at(4)));
        return 1;
    }
    std::printf("%s\n", qPrintable(args.at(4)));
    return 0;
}
