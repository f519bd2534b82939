#include "builtin_param_pages.h"

#include "collapsible_group.h"
#include "control_panel_chrome.h"

#include <QDebug>
#include <QVBoxLayout>
#include <QWidget>

#include <tuple>

BuiltInParamPages::BuiltInParamPages(const ParamPageSet::Guard &guard, const Callbacks &callbacks, QObject *parent)
    : QObject(parent), m_callbacks(callbacks)
{
    const ParamPageSet::Senders senders{callbacks.sendVideoParam, callbacks.sendSetting};
    m_pages = new ParamPageSet(guard, senders, this);
    m_spare = new ParamPageSet(guard, senders, this);
    // The focus page's hook shows this panel's own area, whatever the owner asked for.
    auto ownerHook = callbacks.rows.showFaceModelArea;
    m_callbacks.rows.showFaceModelArea = [this, ownerHook](bool visible) {
        if (m_aiModelArea)
            m_aiModelArea->setVisible(visible);
        if (ownerHook)
            ownerHook(visible);
    };
}

QWidget *BuiltInParamPages::buildImagePage(QWidget *parent)
{
    return m_pages->buildPage(BuiltInParamRows::imageRows(m_callbacks.rows), parent);
}

QWidget *BuiltInParamPages::buildFocusPage(QWidget *parent)
{
    QWidget *page = m_pages->buildPage(BuiltInParamRows::focusRows(m_callbacks.rows), parent);
    m_aiModelArea = addAiModelHost(page);
    return page;
}

QWidget *BuiltInParamPages::addAiModelHost(QWidget *page)
{
    auto *area = new QWidget(page);
    area->setObjectName("aiModelArea");
    auto *areaLayout = new QVBoxLayout(area);
    areaLayout->setContentsMargins(0, 10, 0, 0);
    areaLayout->setSpacing(8);
    area->hide();
    page->layout()->addWidget(area);
    return area;
}

QWidget *BuiltInParamPages::buildSettingsPage(QWidget *parent)
{
    return m_pages->buildPage(BuiltInParamRows::settingsRows(m_callbacks.rows), parent);
}

QWidget *BuiltInParamPages::buildExposurePage(QWidget *parent)
{
    return m_spare->buildPage(BuiltInParamRows::exposureRows(m_callbacks.rows), parent);
}

QWidget *BuiltInParamPages::buildColourPage(QWidget *parent)
{
    return m_spare->buildPage(BuiltInParamRows::colourRows(m_callbacks.rows), parent);
}

QWidget *BuiltInParamPages::buildNoisePage(QWidget *parent)
{
    return m_spare->buildPage(BuiltInParamRows::noiseRows(m_callbacks.rows), parent);
}

void BuiltInParamPages::apply(const CameraParams &params, bool fromFile)
{
    m_pages->beginApply(fromFile);
    m_pages->applyRows(params, BuiltInParamRows::applyOrder());
    if (m_callbacks.showColourTables)
        m_callbacks.showColourTables(params);
    qDebug() << "language：" << params[CameraParams::Language];
    m_pages->applyRows(params, {BuiltInParamRows::kSceneKey});
    m_pages->endApply();

    if (fromFile) {
        if (m_callbacks.sendVideoParam)
            m_callbacks.sendVideoParam(BuiltInParamRows::kSceneKey, QString::number(params[CameraParams::SceneMode]));
        if (m_callbacks.sendColourTables)
            m_callbacks.sendColourTables(params);
    }
}

void BuiltInParamPages::showTones(const QJsonObject &videoParam, CameraParams &params)
{
    m_pages->showReported(videoParam, BuiltInParamRows::toneKeys(), params);
}

void BuiltInParamPages::collect(CameraParams &params) const
{
    m_pages->collect(params);
    qDebug() << "从UI更新相机参数：";
    qDebug() << "曝光模式:" << params[CameraParams::ExposureMode];
    qDebug() << "曝光补偿:" << params[CameraParams::ExposureValue];
    qDebug() << "WDR开关:" << params[CameraParams::WdrMode];
    qDebug() << "WDR级别:" << params[CameraParams::WdrStrength];
}

QList<CollapsibleGroup *> BuiltInParamPages::buildThemeGroups(QWidget *parent)
{
    const std::tuple<const char *, const char *, CollapsibleGroup::ContentFactory> themes[] = {
        {QT_TR_NOOP("曝光调整"), "exposure.png", [this](QWidget *p) { return buildExposurePage(p); }},
        {QT_TR_NOOP("颜色调节"), "color.png", [this](QWidget *p) { return buildColourPage(p); }},
        {QT_TR_NOOP("噪声抑制"), "setting.png", [this](QWidget *p) { return buildNoisePage(p); }},
    };
    QList<CollapsibleGroup *> groups;
    for (const auto &[title, iconFile, factory] : themes) {
        auto *group = new CollapsibleGroup(tr(title), factory, parent);
        group->setIcon(ControlPanelChrome::iconPath(iconFile));
        group->hide();
        groups << group;
    }
    return groups;
}
