#include "built_in_page.h"

#include "builtin_param_pages.h"
#include "collapsible_group.h"
#include "colour_page.h"
#include "colour_tables.h"
#include "control_panel_chrome.h"
#include "palette_label.h"
#include "panel_camera_context.h"
#include "panel_resets.h"

#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

BuiltInPage::BuiltInPage(const Context &context, QObject *parent) : QObject(parent), m_context(context)
{
    m_content = new QWidget;
    m_page = ControlPanelChrome::buildScrollPage(m_context.window, m_content);
    auto *layout = static_cast<QVBoxLayout *>(m_content->layout());
    ColourPage *colourPage = m_context.colourPage;
    auto *colourGroup = new CollapsibleGroup(
        tr("调色盘"), [colourPage](QWidget *parent) { return colourPage->buildColorPage(parent); }, m_content);
    colourGroup->setObjectName("colourGroup");
    colourGroup->setIcon(ControlPanelChrome::iconPath("palette.png"));
    layout->addWidget(colourGroup);
    layout->addStretch();
    addParameterGroups();
    m_page->setWidget(m_content);
    m_page->hide();
}

void BuiltInPage::addParameterGroups()
{
    PanelCameraContext *camera = m_context.camera;
    ColourTables *tables = m_context.colourTables;
    ColourPage *colourPage = m_context.colourPage;
    BuiltInParamPages::Callbacks callbacks;
    callbacks.sendVideoParam = [camera](const QString &key, const QString &value) {
        return camera->sendVideoParam(key, value);
    };
    callbacks.sendSetting = [camera](const QString &key, const QString &value) {
        return camera->sendSystemSetting(key, value);
    };
    callbacks.rows.storeSlot = [camera](int slot, int value) { camera->params()[slot] = value; };
    callbacks.rows.reloadAfterSceneChange = [this, tables] {
        m_context.reread();
        tables->readHsvTables();
    };
    callbacks.rows.requestFaceModels = [this] { m_context.requestFaceModels(); };

    // The tone sliders make the camera recompute its colour tables.
    callbacks.rows.colourToneChanged = [tables] {
        tables->tableRefreshTimer()->start();
        tables->scheduleYellowOrangeRuddyRefresh();
    };
    callbacks.showColourTables = [colourPage](const CameraParams &params) {
        if (PaletteLabel *hue = colourPage->hueLabel())
            hue->setValues(ColourTables::recordTable(params, HsvKind::Hue).toList());
        if (PaletteLabel *sat = colourPage->satLabel())
            sat->setValues(ColourTables::recordTable(params, HsvKind::Saturation).toList());
    };
    callbacks.sendColourTables = [tables](const CameraParams &params) {
        tables->sendHueTable(ColourTables::recordTable(params, HsvKind::Hue));
        tables->sendSaturationTable(ColourTables::recordTable(params, HsvKind::Saturation));
    };
    m_paramPages = new BuiltInParamPages(camera->guard(), callbacks, this);
    connect(tables, &ColourTables::yellowOrangeRuddyRead, this, [this, camera](const QJsonObject &videoParam) {
        m_paramPages->showTones(videoParam, camera->params());
    });
    m_resets = new PanelResets({camera, tables, colourPage, m_paramPages->pages(), [this] { m_context.reread(); },
                                PanelResets::ToneReset::WithImageReset},
                               this);

    // "图像调节" and "对焦" go above everything else, "设置" last (before the stretch);
    // "调色盘" sits between them.
    const auto group = [this](const char *title, const char *iconFile, CollapsibleGroup::ContentFactory factory) {
        auto *g = new CollapsibleGroup(tr(title), factory, m_content);
        g->setIcon(ControlPanelChrome::iconPath(iconFile));
        return g;
    };
    BuiltInParamPages *pages = m_paramPages;
    auto *layout = static_cast<QVBoxLayout *>(m_content->layout());
    layout->insertWidget(0, group(QT_TR_NOOP("图像调节"), "image.png",
                                  [pages](QWidget *parent) { return pages->buildImagePage(parent); }));
    layout->insertWidget(1, group(QT_TR_NOOP("对焦"), "focus.png",
                                  [pages](QWidget *parent) { return pages->buildFocusPage(parent); }));
    CollapsibleGroup *settings = group(QT_TR_NOOP("设置"), "setting.png",
                                       [pages](QWidget *parent) { return pages->buildSettingsPage(parent); });
    layout->insertWidget(layout->count() - 1, settings);

    // Built for the panels that split the pages by theme; not placed on this page.
    m_paramPages->buildThemeGroups(m_content);
}

void BuiltInPage::apply(const CameraParams &params, bool fromFile)
{
    m_paramPages->apply(params, fromFile);
    const bool faceModels = *m_context.kind != PanelKind::WpBefa && *m_context.kind != PanelKind::Lnq;
    if (faceModels && params[CameraParams::FocusMode] == 6 && !m_paramPages->aiModelArea()->isHidden())
        m_context.requestFaceModels();
}
