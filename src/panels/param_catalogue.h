#pragma once

#include <QHash>
#include <QSet>
#include <QString>

#include <optional>

// What the panel of a camera model lets set, without a panel: for each camera key,
// whether it is a setting and every value its control can send. The rows are the
// panels' own; where a control's codes depend on the panel's state (a lens choice, an
// exposure mode), the catalogue holds the codes of the state the rows start in. Used
// where no panel runs (the command-line tool opening cameras itself); a running panel
// answers from its live controls.
class ParamCatalogue {
public:
    struct Entry {
        bool setting = false; // sent as "ReqSetSetting", else "ReqSetVideoParam"
        QSet<int> values;
    };

    // Nothing for a key the model's panel has no control for, or a model without one.
    static std::optional<Entry> find(const QString &productModel, const QString &key);
    static QHash<QString, Entry> forModel(const QString &productModel);
};
