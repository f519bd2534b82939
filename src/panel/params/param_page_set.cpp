#include "param_page_set.h"

#include "debounced_param_sender.h"
#include "number_edit.h"
#include "slider_edit_helper.h"
#include "wheel_event_filter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <limits>

namespace {
// The number boxes of a page's slider rows take the width of the widest (a 0 … 100
// row's "+100" needs more than a −50 … 50 row's "-50"), so that every track of the
// page ends at one x and is as long as the others.
void shareBoxWidth(const QList<NumberEdit *> &boxes)
{
    int widest = 0;
    for (const NumberEdit *box : boxes)
        widest = std::max(widest, box->minimumWidth());
    for (NumberEdit *box : boxes)
        box->setBoxWidth(widest);
}
} // namespace

ParamPageSet::ParamPageSet(const Guard &guard, const Senders &senders, QObject *parent)
    : QObject(parent), m_guard(guard), m_senders(senders)
{
}

ParamPageSet::~ParamPageSet() = default;

QWidget *ParamPageSet::buildPage(const QList<ParamRow> &rows, QWidget *parent)
{
    auto *page = new QWidget(parent);
    auto *layout = new QVBoxLayout(page);
    layout->setSpacing(kPageSpacing);
    layout->setContentsMargins(12, 10, 12, 10);
    QList<NumberEdit *> boxes;
    QList<QLabel *> captions;

    for (const ParamRow &row : rows) {
        auto control = std::make_unique<ParamControl>();
        control->row = row;
        // A line of its own that starts with the row's caption.
        const auto captionedLine = [&] {
            auto *line = new QHBoxLayout;
            control->label = new QLabel(ParamRow::shown(row.label), page);
            control->label->setStyleSheet(SliderRow::kCaptionStyle);
            line->addWidget(control->label);
            return line;
        };
        switch (row.kind) {
        case ParamRow::Kind::Slider:
        case ParamRow::Kind::ColorTemperature:
            control->slider = SliderRow::build(page, ParamRow::shown(row.label), row.minimum, row.maximum, row.initial,
                                               row.kind == ParamRow::Kind::ColorTemperature
                                                   ? SliderRow::Kind::ColorTemperature
                                                   : SliderRow::Kind::Signed);
            control->label = control->slider.label;
            layout->addLayout(control->slider.layout);
            if (row.boxWidth > 0)
                control->slider.numberEdit->setBoxWidth(row.boxWidth);
            else if (row.kind == ParamRow::Kind::Slider)
                boxes << control->slider.numberEdit;
            if (row.boxText)
                control->slider.helper->setDisplay(row.boxText);
            break;
        case ParamRow::Kind::Combo: {
            QHBoxLayout *line = captionedLine();
            control->combo = new QComboBox(page);
            ParamControl::styleCombo(control->combo);
            control->setItems(row.items);
            control->combo->setCurrentIndex(row.items.isEmpty() ? -1 : row.initial);
            WheelEventFilter::install(control->combo);
            line->addWidget(control->combo, 1);
            layout->addLayout(line);
            break;
        }
        case ParamRow::Kind::Switch: {
            QHBoxLayout *line = captionedLine();
            control->check = new QCheckBox(page);
            control->check->setStyleSheet(ParamControl::kSwitchStyle);
            control->check->setFixedSize(40, 20);
            control->check->setCursor(Qt::PointingHandCursor);
            control->check->setChecked(row.initial != 0);
            line->addStretch();
            line->addWidget(control->check);
            layout->addLayout(line);
            break;
        }
        }
        if (!control->check)
            captions << control->label;
        connectControl(control.get());
        m_controls.push_back(std::move(control));
    }
    shareBoxWidth(boxes);
    alignControls(captions);
    return page;
}

// The sliders and combos of a page start at one x, whatever their captions' widths
// (English captions differ more than Chinese ones): each caption gets the room of the
// widest. Hidden rows count too, so nothing moves when they appear.
void ParamPageSet::alignControls(const QList<QLabel *> &captions)
{
    int widest = 0;
    for (QLabel *caption : captions) {
        caption->ensurePolished();
        widest = std::max(widest, caption->fontMetrics().horizontalAdvance(caption->text()) + 1);
    }
    for (QLabel *caption : captions) {
        if (widest > caption->minimumWidth())
            caption->setStyleSheet(QLatin1String(SliderRow::kCaptionStyle) +
                                   QStringLiteral("min-width: %1px;").arg(widest));
    }
}

void ParamPageSet::connectControl(ParamControl *control)
{
    if (control->combo)
        connect(control->combo, &QComboBox::currentIndexChanged, this,
                [this, control](int index) { onValueChanged(control, index); });
    else if (control->check && control->row.clickedOnly)
        connect(control->check, &QCheckBox::clicked, this,
                [this, control](bool on) { onValueChanged(control, on ? 1 : 0); });
    else if (control->check)
        connect(control->check, &QCheckBox::toggled, this,
                [this, control](bool on) { onValueChanged(control, on ? 1 : 0); });
    else if (control->slider.slider)
        connect(control->slider.slider, &QSlider::valueChanged, this,
                [this, control](int value) { onValueChanged(control, value); });
}

ParamControl *ParamPageSet::control(const QString &key) const
{
    for (const auto &c : m_controls)
        if (c->row.key == key)
            return c.get();
    return nullptr;
}

void ParamPageSet::setRowsVisible(const QStringList &keys, bool visible)
{
    for (const QString &key : keys)
        if (ParamControl *c = control(key))
            c->setRowVisible(visible);
}

QStringList ParamPageSet::keys() const
{
    QStringList out;
    for (const auto &c : m_controls)
        out << c->row.key;
    return out;
}

void ParamPageSet::onValueChanged(ParamControl *control, int value)
{
    const ParamRow &row = control->row;
    int sent = 0;
    if (row.sentValue(value, &sent)) {
        const ParamRow::KeySlot target = row.destination();
        sendValue(row, target, sent);
        const ParamRow::Companion &companion = row.companion;
        if (!companion.key.isEmpty() && value >= 0 && value < companion.codes.size())
            sendValue(row, {companion.key, companion.slot}, companion.codes[value]);
    }
    if (row.onChanged)
        row.onChanged(*this, value);
}

void ParamPageSet::sendValue(const ParamRow &row, const ParamRow::KeySlot &target, int sent)
{
    if (m_guard.record && row.keepsRecord && target.slot >= 0 && !isApplying())
        (*m_guard.record)[target.slot] = sent;
    const SendFunction &send = row.target == ParamRow::Target::Setting ? m_senders.setting : m_senders.videoParam;
    const QString text = QString::number(sent);
    if (row.send) {
        row.send(target.key, sent);
    } else if (row.path == ParamRow::Path::Debounced && m_guard.sender) {
        m_guard.sender->schedule(target.key, text, [send](const QString &key, const QString &value) {
            if (send)
                send(key, value);
        });
    } else if (send) {
        send(target.key, text);
    }
}

void ParamPageSet::beginApply(bool fromFile)
{
    if (m_guard.applyingParams)
        *m_guard.applyingParams = true;
    m_applyingFromFile = fromFile;
    if (fromFile)
        return;
    if (m_guard.sendEnabled)
        *m_guard.sendEnabled = false;
    if (m_guard.sender)
        m_guard.sender->setPaused(true);
}

void ParamPageSet::endApply()
{
    if (m_guard.sendEnabled)
        *m_guard.sendEnabled = true;
    if (m_guard.sender)
        m_guard.sender->setPaused(false);
    if (m_guard.applyingParams)
        *m_guard.applyingParams = false;
    m_applyingFromFile = false;
}

void ParamPageSet::applyRows(const CameraParams &params, const QStringList &order)
{
    for (const QString &key : order) {
        ParamControl *c = control(key);
        if (c && c->row.mirror == ParamRow::Mirror::Both && c->row.slot >= 0)
            applyRow(*c, params);
    }
}

int ParamPageSet::shownValue(const ParamRow &row, qint32 slotValue)
{
    const qint64 shown = (qint64(slotValue) - row.offset) / (row.scale ? row.scale : 1);
    return int(std::clamp<qint64>(shown, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

void ParamPageSet::applyRow(ParamControl &control, const CameraParams &params)
{
    const ParamRow &row = control.row;
    const qint32 slotValue = params[row.slot];
    QWidget *widget = control.widget();
    const bool blocked = row.applySilently && widget ? widget->blockSignals(true) : false;
    if (row.shownRule) {
        control.setValue(row.shownRule(slotValue, control.value()));
        if (row.applySilently && widget)
            widget->blockSignals(blocked);
        if (row.afterApply)
            row.afterApply(*this, slotValue);
        return;
    }
    switch (row.kind) {
    case ParamRow::Kind::Combo:
        if (row.clearBeforeApply)
            control.setValue(-1);
        if (!row.companion.key.isEmpty()) {
            // The index whose two codes are the two slots; other pairs change nothing.
            const qint32 second = params[row.companion.slot];
            for (int i = 0; i < row.codes.size() && i < row.companion.codes.size(); ++i)
                if (row.codes[i] == slotValue && row.companion.codes[i] == second) {
                    control.setValue(i);
                    break;
                }
        } else if (row.codes.isEmpty()) {
            control.setValue(slotValue);
        } else {
            const int position = int(row.codes.indexOf(slotValue));
            if (position >= 0)
                control.setValue(position); // a position past the items clears the selection
        }
        break;
    case ParamRow::Kind::Switch:
        control.setValue(slotValue != 0 ? 1 : 0);
        break;
    case ParamRow::Kind::Slider:
    case ParamRow::Kind::ColorTemperature:
        control.setValue(shownValue(row, slotValue));
        break;
    }
    if (row.applySilently && widget)
        widget->blockSignals(blocked);
    if (row.afterApply)
        row.afterApply(*this, slotValue);
}

void ParamPageSet::collect(CameraParams &params) const
{
    for (const auto &c : m_controls) {
        const ParamRow &row = c->row;
        const ParamRow::KeySlot target = row.destination();
        if (row.mirror != ParamRow::Mirror::Both || target.slot < 0)
            continue;
        const int shown = c->value();
        if (row.sentRule || !row.companion.key.isEmpty()) {
            int sent = 0;
            if (row.sentValue(shown, &sent))
                params[target.slot] = sent;
            const ParamRow::Companion &companion = row.companion;
            if (companion.slot >= 0 && shown >= 0 && shown < companion.codes.size())
                params[companion.slot] = companion.codes[shown];
            continue;
        }
        if (row.kind == ParamRow::Kind::Combo) {
            if (row.codes.isEmpty())
                params[target.slot] = shown; // -1 when nothing is selected
            else if (shown >= 0 && shown < row.codes.size())
                params[target.slot] = row.codes[shown];
            continue;
        }
        params[target.slot] = shown * row.scale + row.offset;
    }
}

void ParamPageSet::showReported(const QJsonObject &videoParam, const QStringList &keys, CameraParams &params)
{
    QStringList shown;
    for (const QString &key : keys) {
        const ParamControl *c = control(key);
        const QJsonValue value = videoParam.value(key);
        if (!c || c->row.slot < 0 || !value.isDouble())
            continue;
        params[c->row.slot] = value.toInt(params[c->row.slot]);
        shown << key;
    }
    beginApply(false);
    applyRows(params, shown);
    endApply();
}
