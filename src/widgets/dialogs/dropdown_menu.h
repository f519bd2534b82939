#pragma once

class QMenu;

// The look of the panel's drop-down menus ("参数配置", "设备重置"): dark, rounded,
// light item texts, the hovered item in the accent colour.
class DropDownMenu {
public:
    static constexpr const char *kStyle = "QMenu {   background-color: #262a2d;   padding: 5px;   border-radius: 10px;}"
                                          "QMenu::item {   padding: 8px 20px;   color: #eeeeee;}"
                                          "QMenu::item:selected {   background-color: #1b89ef;}";

    // Styles the menu; rounded corners need a frameless, see-through menu window.
    static void applyStyle(QMenu *menu);
};
