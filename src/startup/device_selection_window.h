#pragma once

#include "device_models.h"

#include <QList>
#include <QPixmap>
#include <QWidget>

class QLabel;
class QPushButton;

// The series carousel: the current series' picture in the centre with its label, the
// neighbours small and faded at the sides. Clicking the centre picks the series.
class DeviceSelectionWindow : public QWidget {
    Q_OBJECT
public:
    explicit DeviceSelectionWindow(QWidget *parent = nullptr);

    int currentIndex() const { return m_currentIndex; }
    // Name of the centred series ("A1", ...), empty when there is none.
    QString currentSeries() const;
    // Series indexes the left and right previews show (-1 when there are no series).
    int leftPreviewIndex() const { return m_leftPreviewIndex; }
    int rightPreviewIndex() const { return m_rightPreviewIndex; }

    // The label text for a series name: its first letter followed by "系列", or the
    // whole name when it contains no letter.
    static QString seriesLabelText(const QString &seriesName);

signals:
    void deviceSelected(const QString &series);
    void cancelClicked();

public slots:
    void onPrevClicked();
    void onNextClicked();
    void onDeviceClicked();
    void onCancelClicked();
    void onReturnClicked();
    void onCloseClicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void loadBackground();
    void loadSeries();
    void setupUi();
    QWidget *createCarousel();
    void showCurrentSeries();

    QList<SeriesInfo> m_series;
    int m_currentIndex = 0;
    QPixmap m_background;
    QList<QPixmap> m_seriesPixmaps;
    QPushButton *m_returnButton = nullptr;
    QPushButton *m_closeButton = nullptr;
    QPushButton *m_prevButton = nullptr;
    QPushButton *m_nextButton = nullptr;
    QLabel *m_leftPreview = nullptr;
    QLabel *m_rightPreview = nullptr;
    QWidget *m_centerWidget = nullptr;
    QLabel *m_centerImage = nullptr;
    QLabel *m_seriesLabel = nullptr;
    QLabel *m_promptLabel = nullptr;
    int m_leftPreviewIndex = -1;
    int m_rightPreviewIndex = -1;
};
