#pragma once

#include <QPixmap>
#include <QString>
#include <QWidget>

class QPushButton;

// Tells the user that no camera of the chosen series is connected. The whole content is
// a series-specific picture carrying the message; the title bar has return and close.
class UnselectedDeviceWindow : public QWidget {
    Q_OBJECT
public:
    explicit UnselectedDeviceWindow(const QString &series, QWidget *parent = nullptr);

    QString series() const { return m_series; }
    // Resource path of the picture shown, empty when the plain background is used.
    QString backgroundPath() const { return m_backgroundPath; }
    const QPixmap &background() const { return m_background; }

    // The picture meant for a series: Unselected_Series_<first letter>.png, or the generic
    // selection background when the name has no letter.
    static QString backgroundPathForSeries(const QString &series);

signals:
    void returnClicked();
    void closeClicked();

public slots:
    void onReturnClicked();
    void onCloseClicked();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void loadBackground();

    QPixmap m_background;
    QString m_series;
    int m_cornerRadius = 15;
    QPushButton *m_returnButton = nullptr;
    QPushButton *m_closeButton = nullptr;
    QString m_backgroundPath;
};
