#pragma once

#include <QCoreApplication>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <functional>

class ParamPageSet;

// One row of a parameter page, as data: what the user sees, which camera key it
// drives, how the shown value becomes the sent value, which record slot it mirrors and
// how it sends. A model panel's page is the built-in rows with its differences applied.
// Labels and items are written in Chinese, marked QT_TRANSLATE_NOOP("ParamRow", ...),
// and translated where they are shown (shown()).
struct ParamRow {
    enum class Kind {
        Combo,            // value = current index (-1 when nothing is selected)
        Slider,           // value = slider value
        ColorTemperature, // slider row whose box shows value × 100 "K"
        Switch,           // value = 1 checked, 0 unchecked
    };
    enum class Target {
        VideoParam, // sendVideoParam
        Setting,    // sendSystemSetting
    };
    enum class Path {
        Immediate,
        Debounced, // through the panel's DebouncedParamSender
    };
    enum class Mirror {
        Both,      // apply shows the slot, collect writes it
        SendOnly,  // the slot is neither shown nor collected (the built-in "ISO")
    };

    // Called after the row's own send with the shown value (combo index, slider value,
    // switch 1/0): the small per-row side effects (visibility of other rows, reloads).
    using Hook = std::function<void(ParamPageSet &pages, int value)>;
    // Called by apply after the row has been set, with the slot's value.
    using ApplyHook = std::function<void(ParamPageSet &pages, int slotValue)>;
    // Sends the row's value in place of the common path (which sends `key` through
    // the panel's video or setting sender); returns whether it was sent.
    using SendHook = std::function<bool(const QString &key, int sent)>;
    // The shown value a slot value gives, for rows with their own rule; return
    // `current` to leave the control as it is.
    using ShownRule = std::function<int(qint32 slotValue, int current)>;
    // The code sent for a shown value, for rows whose codes depend on another value;
    // false when nothing is to be sent.
    using SentRule = std::function<bool(int shown, int *sent)>;
    // A camera key and record slot chosen at sending time by another row (one slider
    // that edits one of two values, depending on a mode).
    struct KeySlot {
        QString key;
        int slot = -1;
    };
    using KeyRule = std::function<KeySlot()>;
    // The text a slider's number box shows for a value, written after the box's own.
    using BoxText = std::function<QString(int value)>;
    // A second key one combo sends right after its own: its code per combo index and
    // the slot it mirrors. Apply selects the index whose two codes match both slots.
    struct Companion {
        QString key;
        QVector<int> codes;
        int slot = -1;
    };

    QString key; // the camera key; also the row's name on its page
    QString label;
    Kind kind = Kind::Slider;
    Target target = Target::VideoParam;
    Path path = Path::Debounced;
    Mirror mirror = Mirror::Both;

    QStringList items;   // combos
    QVector<int> codes;  // combos: index -> sent code; empty: the index itself is sent
    bool clearBeforeApply = false; // combos that apply passes through index -1 first
    int minimum = -50;   // sliders
    int maximum = 50;
    int initial = 0;     // sliders and combos (combo index)
    int scale = 1;       // sent = shown × scale + offset; shown = (slot − offset) / scale
    int offset = 0;
    int slot = -1;       // the CameraParams slot the row mirrors, -1 for none

    bool keepsRecord = true;   // the panel's record follows the control (when the panel keeps it so)
    bool clickedOnly = false;  // switches: only the user's clicks send; apply and code do not
    bool applySilently = false; // apply sets the control with its signals blocked

    Hook onChanged;
    ApplyHook afterApply;
    SendHook send;
    ShownRule shownRule;
    SentRule sentRule;
    KeyRule keyRule;
    BoxText boxText;
    int boxWidth = 0; // sliders: the number box's width, 0 for the usual one
    Companion companion;

    // A label or item as the user reads it.
    static QString shown(const QString &text)
    {
        return QCoreApplication::translate("ParamRow", text.toUtf8().constData());
    }

    // The key and slot a change goes to.
    KeySlot destination() const { return keyRule ? keyRule() : KeySlot{key, slot}; }

    // The value the camera gets for a shown value; false when nothing is to be sent
    // (a combo without a selection, or an index outside the row's code table).
    bool sentValue(int shown, int *sent) const
    {
        if (sentRule)
            return sentRule(shown, sent);
        if (kind == Kind::Combo) {
            if (shown < 0)
                return false;
            if (!codes.isEmpty()) {
                if (shown >= codes.size())
                    return false;
                *sent = codes[shown];
                return true;
            }
        }
        *sent = shown * scale + offset;
        return true;
    }

    // Every value the row's control can send: the sent value of each combo index or
    // of each slider or switch position, as the row's rules give them now.
    QSet<int> sendableValues() const
    {
        QSet<int> values;
        const int first = kind == Kind::Combo ? 0 : minimum;
        const int last = kind == Kind::Combo ? int(items.size()) - 1 : maximum;
        for (int shown = first; shown <= last; ++shown) {
            int sent = 0;
            if (sentValue(shown, &sent))
                values.insert(sent);
        }
        return values;
    }

    // Builders for the four kinds of rows.
    static ParamRow combo(const QString &key, const QString &label, const QStringList &items,
                          const QVector<int> &codes = {}, int slot = -1)
    {
        ParamRow r;
        r.key = key;
        r.label = label;
        r.kind = Kind::Combo;
        r.path = Path::Immediate;
        r.items = items;
        r.codes = codes;
        r.slot = slot;
        return r;
    }
    static ParamRow slider(const QString &key, const QString &label, int minimum, int maximum, int initial,
                           int scale, int offset, int slot)
    {
        ParamRow r;
        r.key = key;
        r.label = label;
        r.kind = Kind::Slider;
        r.minimum = minimum;
        r.maximum = maximum;
        r.initial = initial;
        r.scale = scale;
        r.offset = offset;
        r.slot = slot;
        return r;
    }
    // A −50…50 slider sent as value + 50, the common row of the image page.
    static ParamRow centred(const QString &key, const QString &label, int slot)
    {
        return slider(key, label, -50, 50, 0, 1, 50, slot);
    }
    static ParamRow toggle(const QString &key, const QString &label, int slot)
    {
        ParamRow r;
        r.key = key;
        r.label = label;
        r.kind = Kind::Switch;
        r.path = Path::Immediate;
        r.minimum = 0;
        r.maximum = 1;
        r.slot = slot;
        return r;
    }

    ParamRow &asSetting()
    {
        target = Target::Setting;
        return *this;
    }
};

// Finds a row by key in a page's rows, for tables of differences; null when absent.
inline ParamRow *findRow(QList<ParamRow> &rows, const QString &key)
{
    for (ParamRow &r : rows)
        if (r.key == key)
            return &r;
    return nullptr;
}
