#pragma once

#include "collection_tip_dialog.h"
#include "face_model_list.h"

#include <QByteArray>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class AiModelArea;
class PanelCameraContext;
class CameraWindow;
class QWidget;

// The AI face-model area of one panel and the guided collection that records a model:
// the camera's model list in the combo, enabling, deleting, recording a new model with
// its name, the warm tip, starting the collection in the preview, naming the model
// after a success and rolling back after a failure. The built-in pages own one, each
// model panel owns its own; what differs between them comes in as Options.
//
// A collection begins with the warm tip and ends with its success, its failure or its
// abandonment; the item it is for and the pending name belong to it and end with it.
// Outcomes the preview reports while no collection is running change nothing.
class FaceModelFlow : public QObject {
    Q_OBJECT
public:
    static constexpr int kEnabledRequestDelayMs = 100;
    static constexpr int kDeleteCheckDelayMs = 2000;
    static constexpr int kStartDelayMs = 500;
    static constexpr int kRereadDelayMs = 300;

    // How the flow reaches the panel's camera and preview.
    struct Hooks {
        // Sends a finished JSON command text to the panel's camera as CmdJson.
        std::function<bool(const QByteArray &text)> send;
        // The device index of the panel's camera.
        std::function<int()> deviceIndex;
        // The link test before recording.
        std::function<bool()> testConnection;
        // Opens the preview when it is closed.
        std::function<void()> openPreview;
        // The preview window, or null.
        std::function<CameraWindow *()> preview;
    };
    // `send` and `deviceIndex` over a panel's camera context.
    static Hooks cameraHooks(PanelCameraContext *camera);

    // What differs between panels.
    struct Options {
        // The second command of enabling a model (0: disabling). Default: the face-mode ID.
        std::function<QByteArray(int id)> enableCommand;
        // Which reported mode ID the panel follows; -1 when none. Default: the face-mode ID.
        std::function<int(int faceModeId, int portraitModeId, bool hasFace, bool hasPortrait)> modeIdRule;
        // Asks the camera for its model list (the panel's own requests with its records).
        // Default: "ReqGetFaceIDs" then "ReqGetFaceNames", without records.
        std::function<void()> requestFaceModels;
        // Each command of selecting, enabling, deleting and the enabled-ID request gets a
        // record with its text, and so does the pending name of a new model.
        bool commandRecords = false;
        // A new list and an enabled-ID report get debug records: the list with the
        // panel's focus mode, the report with the items it was matched against.
        bool listRecords = false;
        // The index of the panel's "模式" combo, for the list record; a negative index
        // keeps the one seen before.
        std::function<int()> focusModeIndex;
        // The warm tip can be dragged by its title bar and swallows the application's
        // key presses while it is shown.
        bool tipHoldsInput = false;
    };

    // Fills `areaContainer` with the area's controls.
    FaceModelFlow(QWidget *areaContainer, const Hooks &hooks, const Options &options,
                  QObject *parent = nullptr);
    ~FaceModelFlow() override;

    AiModelArea *area() const { return m_area; }
    const FaceModelList &models() const { return m_list; }
    bool modelEnabled() const { return m_modelEnabled; }
    int faceModeId() const { return m_faceModeId; }
    int portraitModeId() const { return m_portraitModeId; }
    CollectionTipDialog *collectionDialog() const { return m_collectionDialog; }
    // The running collection: its model ID (0 before "确认"), -1 when there is none.
    int collectionModelId() const;
    bool hasPendingFaceName() const { return m_collection.active && !m_collection.pendingName.isEmpty(); }

    // Replies the panel's reply routing hands over (the panel's camera only).
    void setFaceNames(const QStringList &faceNames);
    void handleFaceIdsResponse(const QList<int> &faceIds);
    void handleEnabledFaceIdResponse(int enabledFaceId);
    void handleFaceModeIds(int faceModeId, int portraitModeId, bool hasFace, bool hasPortrait);
    // A training status from device `deviceIndex`, for the preview's collection.
    void handleCollectionStatus(const QString &status, int deviceIndex);

    void requestFaceModels();
    void requestEnabledFaceId();
    void setModelEnableButtonState(bool enabled);
    void showFaceDataCollectionDialog(int modelIndex = -1, const QString &originalName = QString());

public slots:
    void onAiModelSelected(int index);
    void onModelEnableClicked();
    void onDeleteModelClicked();
    void onAddModelClicked();
    void onFaceCollectionSucceeded();
    void onFaceDataCollectionFailed();

signals:
    void startFaceDataCollection(int modelId);

private:
    struct Collection {
        bool active = false;
        bool started = false; // "确认" was pressed
        int modelId = 0;      // the item's ID; the ID the collection runs with once started
        QString originalName; // the item's text to restore; empty for a new model
        QString pendingName;  // the new model's name, sent after a success
        int previousId = 0;   // the model shown before, shown again when the collection is given up
    };

    void send(const QByteArray &text);
    void sendEnable(int id);
    // Sends `text`, after the debug record "`label` -" with it when the panel keeps
    // command records.
    void sendRecorded(const QString &label, const QByteArray &text);
    void beginCollection(int modelIndex, const QString &originalName, const QString &pendingName, int previousId);
    void endCollection(bool rollBack);
    void startInPreview(int modelId);
    void finishDelete(int id);
    // The current item's usable ID, or 0 after telling the user why there is none.
    int currentIdOrExplain();
    QString askForName();

    Hooks m_hooks;
    Options m_options;
    AiModelArea *m_area = nullptr;
    FaceModelList m_list;
    bool m_modelEnabled = false;
    int m_focusModeIndex = -1;
    int m_faceModeId = 0;
    int m_portraitModeId = 0;
    QPointer<CollectionTipDialog> m_collectionDialog;
    Collection m_collection;
    // A model just recorded, shown whenever the camera's list carries it (also after the
    // restart that ends the recording) until the user chooses another.
    int m_showAfterList = 0;
    // A deletion waiting for the camera's list.
    int m_deleteCheckId = 0;
    bool m_deleteListArrived = false;
    QObject *m_timers = nullptr; // context of pending delayed steps
};
