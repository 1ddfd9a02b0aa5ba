// The recommendation page: the remote list of recommended programs, one panel each, side by side.
#pragma once

#include "PromotionCache.h"

#include <QWidget>

class QHBoxLayout;
class QLabel;
class QPushButton;
class SingleSoftwareWidget;

class SoftwareWidget : public QWidget
{
    Q_OBJECT

public:
    // The page is two panels wide and does not scroll; a longer list is cut here so a hostile
    // reply cannot create thousands of widgets and requests.
    static constexpr int kMaxPanels = 3;

    explicit SoftwareWidget(QWidget *parent = nullptr);

    // Largest list reply read; a real list is a few KiB.
    static constexpr qint64 MaxListBytes = 2 * 1024 * 1024;

    // Fetches promotions.xml from the maker's site, unless a request is running or a list from the
    // network is shown already. The first call shows the list saved by an earlier run meanwhile.
    void requestPromotions();

    // Fills the page from a promotions.xml body with at least one item, replacing a saved list
    // shown until then; false (page unchanged) for any other body or when a list from the
    // network is shown already. The list is kept for the next start by the reply handler.
    bool loadPromotions(const QByteArray &body);

    QList<SingleSoftwareWidget *> panels() const;
    // The centred "nothing to show" text with its retry button (visible while there are no panels).
    QWidget *placeholder() const { return m_placeholder; }

public slots:
    void onProfileRequestFinished();

protected:
    void resizeEvent(QResizeEvent *event) override;

private slots:
    void onPictureFetched(const QString &address, const QByteArray &bytes);

private:
    QLabel *createSeparator();
    void buildPlaceholder();
    void updatePlaceholder();
    // Replaces the panels with those of a list body; false when it has no item.
    bool showList(const QByteArray &body, const QHash<QString, QByteArray> &pictures, bool fetch);
    QString cachePath() const;

    QHBoxLayout *m_layout = nullptr;
    QWidget *m_placeholder = nullptr;
    QLabel *m_placeholderText = nullptr;
    QPushButton *m_retry = nullptr;
    bool m_requestRunning = false;
    bool m_fresh = false;      // the panels show a list from the network
    bool m_savedTried = false; // the saved list was looked at
    // What the next start shows: the current list and the pictures that arrived for it.
    SavedPromotions m_toSave;
    QHash<QString, QByteArray> m_savedPictures;
};
