#pragma once

#include <QObject>

#include <functional>

class ColourPage;
class ColourTables;
class PanelCameraContext;
class ParamPageSet;

// A panel's image and factory resets: the defaults command ("eDefaultParamCfg" 1 or
// 255), the default colour tables in the record, on the camera and on the page, the
// five tone sliders put back to neutral (on one of the two resets, which one depends
// on the panel), and the re-reads 500 ms and 800 ms later. The confirmation and the
// notices are the reset menu's; this object only does the work.
class PanelResets : public QObject {
    Q_OBJECT
public:
    static constexpr int kRefreshAfterResetMs = 500;
    static constexpr int kTablesAfterResetMs = 800;
    static constexpr int kImageDefaults = 1;
    static constexpr int kFactoryDefaults = 255;
    static constexpr int kToneNeutral = 50;

    // Which reset also puts "黄色", "橙色", "灰色", "黑色等级" and "高光" back (slots 43–47
    // to 50, the sliders to 0, nothing sent: the camera did it itself).
    enum class ToneReset { WithImageReset, WithFactoryReset };

    struct Parts {
        PanelCameraContext *camera = nullptr;
        ColourTables *tables = nullptr;
        ColourPage *colourPage = nullptr;
        ParamPageSet *pages = nullptr; // holds the tone sliders
        std::function<void()> refresh; // re-reads the parameters into the panel
        ToneReset tones = ToneReset::WithImageReset;
    };

    explicit PanelResets(const Parts &parts, QObject *parent = nullptr);

    // Each returns whether the camera accepted the defaults command. The image reset
    // runs to the end either way (the re-reads show whatever the camera did); a
    // refused factory reset stops at once.
    bool resetImageDefaults();
    bool resetFactoryDefaults();

    // Sends "eDefaultParamCfg" `config`; true when the camera accepted it.
    bool sendDefaults(int config);

private:
    void resetToDefaults(bool resetTones);

    Parts m_parts;
};
