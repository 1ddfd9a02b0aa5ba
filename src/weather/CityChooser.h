// Choosing the weather city: "自动定位" or a row of the city table, found by typing.
#pragma once

#include <QDialog>
#include <QLineEdit>

class QLabel;

class CityChooser : public QLineEdit
{
    Q_OBJECT

public:
    explicit CityChooser(QWidget *parent = nullptr);

    // The choices in table order after "自动定位"; a name the table holds more than once is
    // followed by its province, e.g. "朝阳（北京）".
    static const QStringList &choices();
    // The text shown for an area id ("自动定位" for an empty or unknown one).
    static QString textOfAreaId(const QString &areaId);
    // The area id a text names: empty for "自动定位"; false when the text names no choice.
    static bool areaIdOfText(const QString &text, QString *areaId);

    // The area id of the current text; false when the text names no choice.
    bool areaId(QString *areaId) const { return areaIdOfText(text().trimmed(), areaId); }
    void setAreaId(const QString &areaId) { setText(textOfAreaId(areaId)); }
};

// The small dialog the weather page opens from its city name.
class CityDialog : public QDialog
{
    Q_OBJECT

public:
    explicit CityDialog(const QString &areaId, QWidget *parent = nullptr);

    CityChooser *chooser() const { return m_chooser; }
    // The chosen area id (empty for automatic); valid after the dialog was accepted.
    QString chosenAreaId() const { return m_areaId; }

public slots:
    // Accepts only a text that names a choice.
    void accept() override;

private:
    CityChooser *m_chooser = nullptr;
    QLabel *m_hint = nullptr;
    QString m_areaId;
};
