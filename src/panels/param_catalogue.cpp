#include "param_catalogue.h"

#include "builtin_param_rows.h"
#include "device_models.h"
#include "k310a_rows.h"
#include "t782_rows.h"

namespace {
void add(QHash<QString, ParamCatalogue::Entry> &catalogue, const QList<ParamRow> &rows)
{
    for (const ParamRow &row : rows) {
        if (row.key.isEmpty())
            continue;
        catalogue.insert(row.key, {row.target == ParamRow::Target::Setting, row.sendableValues()});
    }
}
} // namespace

QHash<QString, ParamCatalogue::Entry> ParamCatalogue::forModel(const QString &productModel)
{
    QHash<QString, Entry> catalogue;
    const BuiltInParamRows::Callbacks none;
    switch (panelKindForModel(productModel)) {
    case PanelKind::None:
        break;
    case PanelKind::BuiltIn:
        add(catalogue, BuiltInParamRows::imageRows(none));
        add(catalogue, BuiltInParamRows::focusRows(none));
        add(catalogue, BuiltInParamRows::settingsRows(none));
        break;
    case PanelKind::WpBefa:
    case PanelKind::Lnq:
        add(catalogue, BuiltInParamRows::settingsRows(none));
        add(catalogue, BuiltInParamRows::focusRows(none));
        add(catalogue, K310aRows::imageRows(none));
        add(catalogue, {K310aRows::noise2d(), K310aRows::noise3d(), K310aRows::horizontalMirror(),
                        K310aRows::verticalMirror(), K310aRows::sleepSwitch(), K310aRows::uvcSwitch()});
        break;
    case PanelKind::T782: {
        const T782Rows::Hooks hooks;
        const QList<ParamRow> exposure = T782Rows::exposureRows(hooks);
        add(catalogue, exposure);
        add(catalogue, T782Rows::colourRows());
        add(catalogue, T782Rows::imageRows());
        add(catalogue, T782Rows::focusRows());
        add(catalogue, T782Rows::settingsRows(hooks));
        // One slider sends the manual gain or the gain limit, by the exposure mode.
        if (catalogue.contains(QStringLiteral("ucAutoGainLimit")))
            catalogue.insert(QStringLiteral("ucManualGain"), catalogue.value(QStringLiteral("ucAutoGainLimit")));
        break;
    }
    }
    return catalogue;
}

std::optional<ParamCatalogue::Entry> ParamCatalogue::find(const QString &productModel, const QString &key)
{
    const QHash<QString, Entry> catalogue = forModel(productModel);
    const auto it = catalogue.constFind(key);
    if (it == catalogue.constEnd())
        return std::nullopt;
    return *it;
}
