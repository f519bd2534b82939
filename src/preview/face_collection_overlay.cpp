#include "face_collection_overlay.h"

#include "collection_verdict_dialog.h"
#include "command_texts.h"
#include "preview_dialogs.h"

#include <QDebug>
#include <QEvent>
#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace {

FaceCollectionOverlay::Timings &currentTimings() {
    static FaceCollectionOverlay::Timings t;
    return t;
}

const char *const kFirstPrompt =
    QT_TRANSLATE_NOOP("FaceCollectionOverlay", "请人物移动到距离相机60cm正前方，请确保录入时画面只有一个人，人脸需正对摄像头，"
    "录入过程保持静止");
const char *const kCollecting = QT_TRANSLATE_NOOP("FaceCollectionOverlay", "数据采集中");
const char *const kStepPrompt = QT_TRANSLATE_NOOP("FaceCollectionOverlay", "第%1次数据采集%2，即将进行第%3组数据采集");
const char *const kNoAnswerPrompt = QT_TRANSLATE_NOOP("FaceCollectionOverlay", "第%1次数据采集失败（相机无响应），即将进行第%2组数据采集");
const char *const kSuccessPrompt = QT_TRANSLATE_NOOP("FaceCollectionOverlay", "数据采集成功，已成功匹配个人追焦数据");
const char *const kRetryPrompt = QT_TRANSLATE_NOOP("FaceCollectionOverlay", "请人物移动到距离相机60cm正前方");
const char *const kCancelledPrompt = QT_TRANSLATE_NOOP("FaceCollectionOverlay", "采集已取消");

const char *const kStartButtonStyle =
    "QPushButton { background-color: #1e90ff; color: white; border: none; border-radius: 4px;"
    " font-size: 13px; }"
    "QPushButton:hover { background-color: #0d7bcd; }";

QString indicatorStyle(const char *background, const char *text, bool bold) {
    return QStringLiteral(
               "QLabel { background-color: %1; color: %2; border-radius: 3px; font-size: 11px;%3 }")
        .arg(QLatin1String(background), QLatin1String(text),
             bold ? QStringLiteral(" font-weight: bold;") : QString());
}

} // namespace

FaceCollectionOverlay::Timings FaceCollectionOverlay::timings() {
    return currentTimings();
}

void FaceCollectionOverlay::setTimings(const Timings &timings) {
    currentTimings() = timings;
}

namespace {
constexpr int kPromptMinWidth = 400;
} // namespace

int FaceCollectionOverlay::promptY(Placement placement, int h) {
    switch (placement) {
    case Placement::High:
        return qMax(230, h / 6);
    case Placement::Middle:
        return qMax(220, h / 6);
    case Placement::Low:
        break;
    }
    return qMax(280, h / 5);
}

FaceCollectionOverlay::FaceCollectionOverlay(QWidget *host) : QObject(host), m_host(host) {
    m_timedSteps = new QObject(this);
    host->installEventFilter(this);
}

QLabel *FaceCollectionOverlay::stepLabel(int step) const {
    return m_panel ? m_panel->findChild<QLabel *>(QStringLiteral("stepLabel_%1").arg(step)) : nullptr;
}

// ---------------------------------------------------------------------------------------
// The panel

void FaceCollectionOverlay::showPanel() {
    if (!m_panel)
        buildPanel();
    m_panel->show();
    m_panel->raise();
}

void FaceCollectionOverlay::buildPanel() {
    m_panel = new QWidget(m_host);
    m_panel->setObjectName(QStringLiteral("faceCollectionPanel"));
    m_panel->setAttribute(Qt::WA_StyledBackground);
    m_panel->setStyleSheet("#faceCollectionPanel { background-color: #1e1e1e; border-radius: 12px; }");
    m_panel->setGeometry(15, 50, 240, 160);
    auto *layout = new QVBoxLayout(m_panel);
    layout->setContentsMargins(15, 15, 15, 15);
    layout->setSpacing(10);

    auto *header = new QHBoxLayout;
    header->setContentsMargins(0, 0, 0, 0);
    header->setSpacing(0);
    auto *title = new QLabel(tr("AI人脸数据采集"), m_panel);
    title->setAlignment(Qt::AlignCenter);
    title->setStyleSheet("color: white; font-size: 13px; font-weight: bold; background: transparent;");
    header->addWidget(title, 1);
    m_panelCloseButton = new QPushButton(m_panel);
    m_panelCloseButton->setFixedSize(20, 20);
    m_panelCloseButton->setIcon(QIcon(QStringLiteral(":/icons/resources/icons/close.png")));
    m_panelCloseButton->setIconSize(QSize(12, 12));
    m_panelCloseButton->setStyleSheet(
        "QPushButton { background: transparent; border: none; border-radius: 3px; }"
        "QPushButton:hover { background-color: #ff4444; }");
    connect(m_panelCloseButton, &QPushButton::clicked, this, &FaceCollectionOverlay::onPanelCloseClicked);
    header->addWidget(m_panelCloseButton);
    layout->addLayout(header);

    auto *indicators = new QHBoxLayout;
    indicators->setSpacing(6);
    for (int i = 0; i < kSteps; ++i) {
        auto *label = new QLabel(QString::number(i + 1), m_panel);
        label->setObjectName(QStringLiteral("stepLabel_%1").arg(i));
        label->setFixedSize(40, 24);
        label->setAlignment(Qt::AlignCenter);
        indicators->addWidget(label);
    }
    layout->addLayout(indicators);

    auto *buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    m_startButton = new QPushButton(tr("开始"), m_panel);
    m_startButton->setFixedSize(96, 28);
    m_startButton->setStyleSheet(kStartButtonStyle);
    connect(m_startButton, &QPushButton::clicked, this, &FaceCollectionOverlay::onStartClicked);
    buttonRow->addWidget(m_startButton);
    buttonRow->addStretch();
    layout->addLayout(buttonRow);
    refreshIndicators();
}

void FaceCollectionOverlay::refreshIndicators() {
    for (int i = 0; i < kSteps; ++i) {
        QLabel *label = stepLabel(i);
        if (!label)
            continue;
        if (m_stepResults[size_t(i)] == Success)
            label->setStyleSheet(indicatorStyle("#4CAF50", "white", true));
        else if (m_stepResults[size_t(i)] == Failure)
            label->setStyleSheet(indicatorStyle("#f44336", "white", true));
        else if (i == m_currentStep)
            label->setStyleSheet(indicatorStyle("#1e90ff", "white", true));
        else
            label->setStyleSheet(indicatorStyle("#333333", "#999999", false));
    }
}

void FaceCollectionOverlay::onPanelCloseClicked() {
    // Leaves the camera's session and the status queries alone; the next press of
    // the button cancels them.
    endTimedSteps();
    m_running = false;
    if (m_startButton)
        m_startButton->setText(tr("开始"));
    m_currentStep = 0;
    if (m_promptLabel)
        m_promptLabel->hide();
    if (m_panel)
        m_panel->hide();
    emit failed();
}

// ---------------------------------------------------------------------------------------
// Start, cancel, reset

void FaceCollectionOverlay::onStartClicked() {
    if (m_finished)
        emit closeRequested();
    else if (m_running || m_runSent)
        cancel();
    else
        start();
}

void FaceCollectionOverlay::start() {
    qDebug() << "Start face collection process";
    stopPolling();
    endTimedSteps();
    m_running = true;
    m_runSent = false;
    m_finished = false;
    m_currentStep = 0;
    m_stepResults.fill(None);
    refreshIndicators();
    if (m_startButton)
        m_startButton->setText(tr("取消"));
    sendTrain("start");
    beginCountdown();
}

void FaceCollectionOverlay::cancel() {
    qDebug() << "Cancel face collection";
    stopPolling();
    sendTrain("stop");
    reset();
    if (m_startButton)
        m_startButton->setText(tr("继续"));
    if (m_promptLabel) {
        m_promptLabel->setText(tr(kCancelledPrompt));
        placePrompt(m_promptPlacement);
        m_promptLabel->show();
    }
}

void FaceCollectionOverlay::reset() {
    qDebug() << "Reset face collection";
    stopPolling();
    endTimedSteps();
    m_running = false;
    m_runSent = false;
    m_finished = false;
    if (m_startButton)
        m_startButton->setText(tr("开始"));
}

void FaceCollectionOverlay::endTimedSteps() {
    delete m_timedSteps;
    m_timedSteps = new QObject(this);
    if (m_countdownLabel)
        m_countdownLabel->hide();
}

void FaceCollectionOverlay::stopPolling() {
    if (m_pollTimer)
        m_pollTimer->stop();
}

// ---------------------------------------------------------------------------------------
// Countdown and capture

void FaceCollectionOverlay::beginCountdown() {
    if (!m_countdownLabel) {
        m_countdownLabel = new QLabel(m_host);
        m_countdownLabel->setAlignment(Qt::AlignCenter);
        m_countdownLabel->setStyleSheet(
            "QLabel { background: transparent; color: white; font-size: 120px; font-weight: bold; }");
        auto *shadow = new QGraphicsDropShadowEffect(m_countdownLabel);
        shadow->setBlurRadius(20);
        shadow->setOffset(0, 0);
        shadow->setColor(QColor(0, 0, 0, 160));
        m_countdownLabel->setGraphicsEffect(shadow);
    }
    refreshIndicators(); // the step about to be captured shows as current
    m_countdownLabel->setText(QStringLiteral("3"));
    placeCountdown();
    m_countdownLabel->show();
    m_countdownLabel->raise();
    const int tick = timings().tickMs;
    QTimer::singleShot(tick, m_timedSteps, [this] { countdownTick(2); });
    QTimer::singleShot(2 * tick, m_timedSteps, [this] { countdownTick(1); });
    QTimer::singleShot(3 * tick, m_timedSteps, [this] { countdownDone(); });
}

void FaceCollectionOverlay::countdownTick(int secondsLeft) {
    if (!m_running) {
        m_countdownLabel->hide();
        return;
    }
    m_countdownLabel->setText(QString::number(secondsLeft));
    placeCountdown();
}

void FaceCollectionOverlay::countdownDone() {
    m_countdownLabel->hide();
    if (!m_running)
        return;
    sendTrain("run");
    m_runSent = true;
    if (m_currentStep == 0) {
        showPrompt(tr(kFirstPrompt), Placement::High);
        QTimer::singleShot(timings().firstPromptMs, m_timedSteps, [this] {
            if (m_running)
                showPrompt(tr(kCollecting), Placement::Middle);
        });
    } else if (m_promptLabel) {
        showPrompt(tr(kCollecting), Placement::Middle);
    }
    if (!m_pollTimer) {
        m_pollTimer = new QTimer(this);
        connect(m_pollTimer, &QTimer::timeout, this, &FaceCollectionOverlay::pollStatus);
    }
    m_pollsThisStep = 0;
    m_pollTimer->start(timings().pollMs);
}

void FaceCollectionOverlay::pollStatus() {
    const int limit = timings().maxPollsPerStep;
    if (m_pollsThisStep >= limit) {
        // A camera that never reports a result must not keep the collection waiting.
        stopPolling();
        qWarning() << "Face collection step" << m_currentStep + 1 << ": no result after" << limit
                   << "status queries";
        if (m_running && m_currentStep < kSteps)
            stepDone(Failure,
                     tr(kNoAnswerPrompt).arg(m_currentStep + 1).arg(m_currentStep + 2));
        return;
    }
    ++m_pollsThisStep;
    send("Send get status command:", QString::fromUtf8(CommandTexts::getFaceFocusTrain()));
}

// ---------------------------------------------------------------------------------------
// Statuses and the verdict

void FaceCollectionOverlay::handleStatus(const QString &status) {
    qDebug() << "Handle face collection status:" << status;
    const bool finishStatus = status == QLatin1String("finish");
    if (finishStatus || status == QLatin1String("error")) {
        if (m_currentStep >= kSteps)
            return;
        const int step = m_currentStep + 1;
        stepDone(finishStatus ? Success : Failure,
                 tr(kStepPrompt)
                     .arg(step)
                     .arg(finishStatus ? tr("成功") : tr("失败"))
                     .arg(step + 1));
    } else if (status == QLatin1String("stop_done")) {
        stopPolling();
        reset();
        if (m_startButton)
            m_startButton->setText(tr("继续"));
    }
}

void FaceCollectionOverlay::stepDone(int result, const QString &prompt) {
    m_stepResults[size_t(m_currentStep)] = result;
    refreshIndicators();
    if (m_promptLabel)
        showPrompt(prompt, Placement::Middle);
    ++m_currentStep;
    stopPolling();
    if (m_currentStep >= kSteps) {
        finish();
        return;
    }
    QTimer::singleShot(timings().nextStepMs, m_timedSteps, [this] {
        if (m_running)
            beginCountdown();
    });
}

void FaceCollectionOverlay::finish() {
    const int successes = int(std::count(m_stepResults.begin(), m_stepResults.end(), int(Success)));
    refreshIndicators();
    QPointer<CollectionVerdictDialog> dialog;
    if (successes < kSuccessesNeeded) {
        dialog = new CollectionVerdictDialog(
            tr("采集失败"), tr("数据采集失败！\n\n成功次数不足，需要至少3次成功"),
            m_host);
        QPushButton *retry = dialog->addButton(tr("重试"), "#1e90ff", "#4169e1");
        QPushButton *cancel = dialog->addButton(tr("取消"), "#444444", "#555555");
        connect(retry, &QPushButton::clicked, this, [this, dialog] {
            dialog->accept();
            reset();
            if (m_startButton)
                m_startButton->setText(tr("开始"));
            if (m_promptLabel)
                showPrompt(tr(kRetryPrompt), Placement::Low);
        });
        connect(cancel, &QPushButton::clicked, this, [this, dialog] {
            dialog->reject();
            emit failed();
            emit closeRequested();
        });
    } else {
        m_finished = true;
        if (m_startButton)
            m_startButton->setText(tr("完成"));
        showPrompt(tr(kSuccessPrompt), m_promptPlacement);
        emit succeeded();
        dialog = new CollectionVerdictDialog(
            tr("采集成功"), tr("数据采集成功！\n\n请重启设备以加载人像模型"), m_host);
        QPushButton *restart = dialog->addButton(tr("重启设备"), "#1e90ff", "#4169e1");
        connect(restart, &QPushButton::clicked, this, [this, dialog] {
            send("Send restart command:", QString::fromUtf8(CommandTexts::manualRebootSet()));
            dialog->accept();
            emit closeRequested();
        });
    }
    // The verdict stands alone: the prompt box behind it would stick out around it.
    if (m_promptLabel)
        m_promptLabel->hide();
    PreviewDialogs::execDialog(dialog);
    if (dialog)
        dialog->deleteLater();
    if (m_promptLabel)
        showPrompt(m_promptLabel->text(), Placement::Low);
}

// ---------------------------------------------------------------------------------------
// Placement and commands

void FaceCollectionOverlay::showPrompt(const QString &text, Placement placement) {
    if (!m_promptLabel) {
        m_promptLabel = new QLabel(m_host);
        m_promptLabel->setAlignment(Qt::AlignCenter);
        m_promptLabel->setWordWrap(true);
        m_promptLabel->setMinimumWidth(kPromptMinWidth);
        m_promptLabel->setStyleSheet("QLabel { background-color: rgba(0, 0, 0, 153); color: white;"
                                     " font-size: 24px; font-weight: bold; padding: 15px 40px;"
                                     " border-radius: 8px; }");
    }
    m_promptLabel->setText(text);
    placePrompt(placement);
    m_promptLabel->show();
    m_promptLabel->raise();
}

void FaceCollectionOverlay::placePrompt(Placement placement) {
    m_promptPlacement = placement;
    if (!m_promptLabel)
        return;
    // Long prompts wrap within the window instead of growing past it.
    const int widest = qMax(kPromptMinWidth, m_host->width() - 40);
    m_promptLabel->setMaximumWidth(widest);
    // One line when it fits: a word-wrapped label would take its narrowest width and
    // grow downwards, over the countdown.
    const QMargins padding = m_promptLabel->contentsMargins();
    const int oneLine = m_promptLabel->fontMetrics().horizontalAdvance(m_promptLabel->text()) + padding.left() +
                        padding.right() + 2;
    m_promptLabel->setFixedWidth(qBound(kPromptMinWidth, oneLine, widest));
    m_promptLabel->setFixedHeight(m_promptLabel->heightForWidth(m_promptLabel->width()));
    m_promptLabel->move((m_host->width() - m_promptLabel->width()) / 2, promptY(placement, m_host->height()));
    if (m_countdownLabel && m_countdownLabel->isVisible())
        placeCountdown();
}

void FaceCollectionOverlay::placeCountdown() {
    m_countdownLabel->adjustSize();
    int y = (m_host->height() - m_countdownLabel->height()) / 2;
    // Centred, unless a prompt shown above would cover the digit's top: then just below it.
    if (m_promptLabel && m_promptLabel->isVisible() && m_promptLabel->geometry().bottom() >= y &&
        m_promptLabel->y() < y + m_countdownLabel->height())
        y = m_promptLabel->geometry().bottom() + 1;
    m_countdownLabel->move((m_host->width() - m_countdownLabel->width()) / 2, y);
}

bool FaceCollectionOverlay::eventFilter(QObject *watched, QEvent *event) {
    if (watched == m_host && event->type() == QEvent::Resize) {
        if (m_promptLabel && m_promptLabel->isVisible())
            placePrompt(m_promptPlacement);
        if (m_countdownLabel && m_countdownLabel->isVisible())
            placeCountdown();
    }
    return QObject::eventFilter(watched, event);
}

void FaceCollectionOverlay::sendTrain(const char *type) {
    send("Send face focus train command:",
         QString::fromUtf8(CommandTexts::setFaceFocusTrain(QLatin1String(type), m_faceModelId)));
}

void FaceCollectionOverlay::send(const char *logText, const QString &command) {
    qDebug() << logText << command;
    emit commandReady(command);
}
