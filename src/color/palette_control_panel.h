#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class QPushButton;
class PolarPaletteWidget;

// The button column beside the palette: random adjustment, reset, cube, table, save
// and load, with a status line. Each button acts on the palette first and then
// emits its request signal.
class PaletteControlPanel : public QWidget {
    Q_OBJECT
public:
    static constexpr const char *kDefaultFileName = "color_adjustment.json";

    // The palette is not owned and may be null; the buttons then do nothing.
    explicit PaletteControlPanel(PolarPaletteWidget *palette, QWidget *parent = nullptr);

    QString statusText() const;

signals:
    void randomAdjustmentRequested();
    void resetRequested();
    void generateLUTRequested();
    void convertFormatRequested();

public slots:
    void onRandomAdjustment();
    void onReset();
    void onGenerateLUT();
    void onConvertFormat();
    void onSave();
    void onLoad();

private:
    QPushButton *addButton(const QString &text);
    // Runs a palette operation, shows the status and emits the request signal last.
    void act(void (PolarPaletteWidget::*operation)(), const QString &status,
             void (PaletteControlPanel::*request)());
    void setStatus(const QString &text);

    QPointer<PolarPaletteWidget> m_palette;
    QLabel *m_status = nullptr;
};
