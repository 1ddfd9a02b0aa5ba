// One recommended program on the recommendation page: icon, name, size, version, preview, description.
#pragma once

#include <QPixmap>
#include <QWidget>

struct XmlNode;
class QLabel;
class QNetworkReply;
class QToolButton;

class SingleSoftwareWidget : public QWidget
{
    Q_OBJECT

public:
    explicit SingleSoftwareWidget(QWidget *parent = nullptr);

    // Fills the labels from one "item" element and starts the icon and preview requests.
    void fillFromItem(const XmlNode &item);

    // The preview rule: unchanged when it fits the area, else scaled to the area's width or height.
    static QPixmap fitPreview(const QPixmap &pixmap, const QSize &area);
    // The description as the label shows it: escaped text with only http/https links kept.
    static QString descriptionHtml(const QString &text);

public slots:
    void onIconRequestFinished();
    void onImageRequestFinished();
    void onDownload();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private slots:
    void onDescriptionLinkActivated(const QString &link);

private:
    void buildTopRow(QLayout *outer);
    void buildPreview(QLayout *outer);
    void buildDescription(QLayout *outer);
    void request(const QString &address, void (SingleSoftwareWidget::*slot)());
    void showPreview();

    QLabel *icon_ = nullptr;
    QLabel *name_ = nullptr;
    QLabel *size_ = nullptr;
    QLabel *version_ = nullptr;
    QToolButton *download_ = nullptr;
    QLabel *image_ = nullptr;
    QLabel *description_ = nullptr;

    // The preview as it arrived, so a resize can apply the rule again.
    QPixmap m_preview;
};
