// The recommendation page: the remote list of recommended programs, one panel each, side by side.
#pragma once

#include <QWidget>

class QHBoxLayout;
class QLabel;
class SingleSoftwareWidget;

class SoftwareWidget : public QWidget
{
    Q_OBJECT

public:
    // The page is two panels wide and does not scroll; a longer list is cut here so a hostile
    // reply cannot create thousands of widgets and requests.
    static constexpr int kMaxPanels = 3;

    explicit SoftwareWidget(QWidget *parent = nullptr);

    // Fetches promotions.xml from the maker's site; only the first call of a run does anything.
    void requestPromotions();

    // Fills the page from a promotions.xml body; a page that is already filled stays as it is.
    void loadPromotions(const QByteArray &body);

    QList<SingleSoftwareWidget *> panels() const;

public slots:
    void onProfileRequestFinished();

private:
    QLabel *createSeparator();

    QHBoxLayout *m_layout = nullptr;
    bool m_requested = false;
    bool m_filled = false;
};
