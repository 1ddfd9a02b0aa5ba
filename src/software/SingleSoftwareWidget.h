// One recommended program on the recommendation page: icon, name, size, version, preview, description.
#pragma once

#include <QHash>
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

    // Fills the labels from one "item" element and starts the icon and preview requests. Saved
    // pictures (address -> bytes) stand in for requests that fail, or for all of them when
    // fetch is false.
    void fillFromItem(const XmlNode &item, const QHash<QString, QByteArray> &saved = {}, bool fetch = true);

    // The preview rule: unchanged when it fits the area, else scaled to the area's width or height.
    static QPixmap fitPreview(const QPixmap &pixmap, const QSize &area);
    // The description as the label shows it: escaped text with only http/https links kept.
    static QString descriptionHtml(const QString &text);

signals:
    // A picture arrived from the network and is an image.
    void pictureFetched(const QString &address, const QByteArray &bytes);

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
    void request(const QString &address, void (SingleSoftwareWidget::*slot)(), bool fetch);
    void showPreview();
    // The picture of a finished reply, or the saved one of its address when the reply is unusable.
    QPixmap replyPicture(QNetworkReply *reply);

    QLabel *icon_ = nullptr;
    QLabel *name_ = nullptr;
    QLabel *size_ = nullptr;
    QLabel *version_ = nullptr;
    QToolButton *download_ = nullptr;
    QLabel *image_ = nullptr;
    QLabel *description_ = nullptr;

    // The preview as it arrived, so a resize can apply the rule again.
    QPixmap m_preview;
    QHash<QString, QByteArray> m_saved;
};
