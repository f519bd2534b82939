#include "text_finder.h"

#include "polar_palette_widget.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QStyledItemDelegate>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTreeView>

#include <cmath>

namespace {
// Glyphs may reach a pixel past their advance, and the line box a pixel past the room.
constexpr int kSlack = 1;
// What a button's caption leaves free on either side at least.
constexpr int kButtonMargin = 2;

// The text as drawn: "&&" is an ampersand, a single "&" marks a mnemonic.
QString withoutMnemonics(const QString &text)
{
    QString out;
    for (int i = 0; i < text.size(); ++i) {
        if (text[i] == QLatin1Char('&') && i + 1 < text.size())
            ++i;
        out += text[i];
    }
    return out;
}

struct Layout {
    QRect drawn;
    QSize needed;
    bool fits = true;
};

// One line of text in `room`: it fits when its advance does and its ink stays
// inside the room vertically (a cut descender or accent counts).
Layout layoutLine(const QFont &font, const QString &text, const QRect &room, Qt::Alignment align)
{
    const QFontMetrics fm(font);
    const int advance = fm.horizontalAdvance(text);
    const QRect box = QStyle::alignedRect(Qt::LeftToRight, align, QSize(advance, fm.height()), room);
    const QRect ink = fm.tightBoundingRect(text).translated(box.left(), box.top() + fm.ascent());
    Layout l;
    l.needed = QSize(advance, ink.height());
    l.fits = advance <= room.width() + kSlack && (ink.isEmpty() || (ink.top() >= room.top() - kSlack &&
                                                                     ink.bottom() <= room.bottom() + kSlack));
    // The ink, where there is any: a line box may reach past the room while its glyphs
    // do not.
    l.drawn = (ink.isEmpty() ? box : ink) & room;
    return l;
}

// Several lines, or wrapped text, in `room`.
Layout layoutBlock(const QFont &font, const QString &text, const QRect &room, int flags)
{
    const QRect br = QFontMetrics(font).boundingRect(room, flags, text);
    Layout l;
    l.needed = br.size();
    l.fits = br.width() <= room.width() + kSlack && br.height() <= room.height() + 2 * kSlack;
    l.drawn = br & room;
    return l;
}

Layout layoutRichText(const QFont &font, const QString &html, const QRect &room, Qt::Alignment align, bool wrap)
{
    QTextDocument doc;
    doc.setDefaultFont(font);
    doc.setDocumentMargin(0);
    doc.setHtml(html);
    if (wrap)
        doc.setTextWidth(room.width());
    Layout l;
    l.needed = QSize(int(std::ceil(doc.idealWidth())), int(std::ceil(doc.size().height())));
    l.fits = l.needed.width() <= room.width() + kSlack && l.needed.height() <= room.height() + 2 * kSlack;
    l.drawn = QStyle::alignedRect(Qt::LeftToRight, align, l.needed, room) & room;
    return l;
}

ShownText shown(QWidget *w, QWidget *window, const QString &text, const QRect &room, const Layout &l,
                const QString &what)
{
    const QPoint offset = w->mapTo(window, QPoint());
    ShownText t;
    t.widget = w;
    t.text = text;
    t.room = room.translated(offset);
    t.drawn = l.drawn.translated(offset);
    t.needed = l.needed;
    t.fits = l.fits;
    t.what = what;
    return t;
}

QList<ShownText> ofLabel(QLabel *label, QWidget *window)
{
    if (label->text().isEmpty() || !label->pixmap().isNull())
        return {};
    QRect room = label->contentsRect();
    const int m = label->margin();
    room.adjust(m, m, -m, -m);
    const Qt::Alignment align = label->alignment();
    if (label->indent() > 0) {
        const int indent = label->indent();
        if (align & Qt::AlignLeft)
            room.setLeft(room.left() + indent);
        if (align & Qt::AlignRight)
            room.setRight(room.right() - indent);
        if (align & Qt::AlignTop)
            room.setTop(room.top() + indent);
        if (align & Qt::AlignBottom)
            room.setBottom(room.bottom() - indent);
    }
    // With a buddy, "&" marks the mnemonic.
    const QString text = label->buddy() ? withoutMnemonics(label->text()) : label->text();
    if (text.trimmed().isEmpty())
        return {};
    const bool rich = label->textFormat() == Qt::RichText ||
                      (label->textFormat() == Qt::AutoText && Qt::mightBeRichText(text));
    Layout l;
    if (rich)
        l = layoutRichText(label->font(), text, room, align, label->wordWrap());
    else if (label->wordWrap() || text.contains(QLatin1Char('\n')))
        l = layoutBlock(label->font(), text, room,
                        int(align) | Qt::TextExpandTabs | (label->wordWrap() ? Qt::TextWordWrap : 0));
    else
        l = layoutLine(label->font(), text, room, align);
    return {shown(label, window, rich ? QTextDocumentFragment::fromHtml(text).toPlainText() : text, room, l,
                  QStringLiteral("label"))};
}

QList<ShownText> ofPushButton(QPushButton *button, QWidget *window)
{
    const QString text = withoutMnemonics(button->text());
    QStyleOptionButton opt;
    opt.initFrom(button);
    if (button->isFlat())
        opt.features |= QStyleOptionButton::Flat;
    if (button->menu())
        opt.features |= QStyleOptionButton::HasMenu;
    if (button->isDefault())
        opt.features |= QStyleOptionButton::DefaultButton;
    if (button->autoDefault())
        opt.features |= QStyleOptionButton::AutoDefaultButton;
    opt.state |= button->isDown() ? QStyle::State_Sunken : QStyle::State_Raised;
    if (button->isChecked())
        opt.state |= QStyle::State_On;
    opt.text = button->text();
    opt.icon = button->icon();
    opt.iconSize = button->iconSize();
    QRect room = button->style()->subElementRect(QStyle::SE_PushButtonContents, &opt, button);
    if (!button->icon().isNull())
        room.setLeft(room.left() + button->iconSize().width() + 4);
    Layout l = layoutLine(button->font(), text, room, Qt::AlignCenter);
    // A caption that fills a button of fixed width from edge to edge reads as cut
    // (a button sized by its caption, or a symbol on a small button, is drawn so).
    const bool fixedWidth = button->minimumWidth() == button->maximumWidth();
    if (fixedWidth && text.size() > 2)
        l.fits = l.fits && l.needed.width() + 2 * kButtonMargin <= room.width();
    return {shown(button, window, text, room, l, QStringLiteral("button"))};
}

QList<ShownText> ofCheckButton(QAbstractButton *button, QWidget *window)
{
    const QString text = withoutMnemonics(button->text());
    QStyleOptionButton opt;
    opt.initFrom(button);
    opt.text = button->text();
    opt.icon = button->icon();
    opt.iconSize = button->iconSize();
    const bool radio = qobject_cast<QRadioButton *>(button);
    const QRect room =
        button->style()->subElementRect(radio ? QStyle::SE_RadioButtonContents : QStyle::SE_CheckBoxContents, &opt,
                                        button);
    return {shown(button, window, text, room, layoutLine(button->font(), text, room, Qt::AlignLeft | Qt::AlignVCenter),
                  QStringLiteral("check box"))};
}

QList<ShownText> ofCombo(QComboBox *combo, QWidget *window)
{
    if (combo->isEditable() || combo->currentText().isEmpty())
        return {};
    QStyleOptionComboBox opt;
    opt.initFrom(combo);
    opt.editable = false;
    opt.frame = combo->hasFrame();
    opt.currentText = combo->currentText();
    opt.currentIcon = combo->itemIcon(combo->currentIndex());
    opt.iconSize = combo->iconSize();
    opt.subControls = QStyle::SC_All;
    QRect room = combo->style()->subControlRect(QStyle::CC_ComboBox, &opt, QStyle::SC_ComboBoxEditField, combo);
    if (!opt.currentIcon.isNull())
        room.setLeft(room.left() + opt.iconSize.width() + 4);
    room.adjust(1, 0, -1, 0);
    return {shown(combo, window, opt.currentText, room,
                  layoutLine(combo->font(), opt.currentText, room, Qt::AlignLeft | Qt::AlignVCenter),
                  QStringLiteral("combo"))};
}

QList<ShownText> ofLineEdit(QLineEdit *edit, QWidget *window)
{
    const QString text = edit->displayText();
    if (text.isEmpty())
        return {};
    QStyleOptionFrame opt;
    opt.initFrom(edit);
    opt.rect = edit->contentsRect();
    opt.lineWidth = edit->hasFrame() ? edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &opt, edit) : 0;
    opt.midLineWidth = 0;
    opt.state |= QStyle::State_Sunken;
    QRect room = edit->style()->subElementRect(QStyle::SE_LineEditContents, &opt, edit);
    room = room.marginsRemoved(edit->textMargins()).adjusted(2, 1, -2, -1);
    return {shown(edit, window, text, room, layoutLine(edit->font(), text, room, edit->alignment()),
                  QStringLiteral("line edit"))};
}

QList<ShownText> ofProgressBar(QProgressBar *bar, QWidget *window)
{
    if (!bar->isTextVisible() || bar->text().isEmpty())
        return {};
    QStyleOptionProgressBar opt;
    opt.initFrom(bar);
    opt.minimum = bar->minimum();
    opt.maximum = bar->maximum();
    opt.progress = bar->value();
    opt.text = bar->text();
    opt.textVisible = true;
    opt.textAlignment = bar->alignment();
    const QRect room = bar->style()->subElementRect(QStyle::SE_ProgressBarLabel, &opt, bar);
    return {shown(bar, window, bar->text(), room, layoutLine(bar->font(), bar->text(), room, bar->alignment()),
                  QStringLiteral("progress"))};
}

QList<ShownText> ofHeader(QHeaderView *header, QWidget *window)
{
    QList<ShownText> out;
    QAbstractItemModel *model = header->model();
    if (!model)
        return out;
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (header->isSectionHidden(logical))
            continue;
        const QString text = model->headerData(logical, header->orientation()).toString();
        if (text.isEmpty())
            continue;
        QStyleOptionHeader opt;
        opt.initFrom(header);
        opt.section = logical;
        opt.orientation = header->orientation();
        opt.text = text;
        opt.textAlignment = header->defaultAlignment();
        if (header->isSortIndicatorShown() && header->sortIndicatorSection() == logical)
            opt.sortIndicator = header->sortIndicatorOrder() == Qt::AscendingOrder ? QStyleOptionHeader::SortDown
                                                                                   : QStyleOptionHeader::SortUp;
        const QSize need = header->style()->sizeFromContents(QStyle::CT_HeaderSection, &opt, QSize(), header);
        const QRect section = header->orientation() == Qt::Horizontal
                                  ? QRect(header->sectionViewportPosition(logical), 0, header->sectionSize(logical),
                                          header->viewport()->height())
                                  : QRect(0, header->sectionViewportPosition(logical), header->viewport()->width(),
                                          header->sectionSize(logical));
        opt.rect = section;
        const QRect room = header->style()->subElementRect(QStyle::SE_HeaderLabel, &opt, header);
        Layout l = layoutLine(header->font(), text, room, opt.textAlignment);
        l.needed = need;
        l.fits = l.fits && need.width() <= section.width() + kSlack;
        out << shown(header->viewport(), window, text, room, l, QStringLiteral("header %1").arg(logical));
    }
    return out;
}

// The cells of an item view that lie wholly in its viewport. Qt elides a cell that is
// too narrow; that is on purpose only when the cell carries a tool tip.
QList<ShownText> ofItemView(QAbstractItemView *view, QWidget *window)
{
    QList<ShownText> out;
    QAbstractItemModel *model = view->model();
    if (!model)
        return out;
    const QModelIndex root = view->rootIndex();
    auto *tree = qobject_cast<QTreeView *>(view);
    QList<int> columns;
    if (qobject_cast<QHeaderView *>(view))
        return out;
    for (int c = 0; c < model->columnCount(root); ++c)
        if (!tree || !tree->isColumnHidden(c))
            columns << c;
    if (!tree)
        columns = {0};
    QWidget *viewport = view->viewport();
    const QRect visible = viewport->rect();
    const QSize decoration = view->iconSize().isValid()
                                 ? view->iconSize()
                                 : QSize(view->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, view),
                                         view->style()->pixelMetric(QStyle::PM_SmallIconSize, nullptr, view));
    const int rows = qMin(model->rowCount(root), 200);
    for (int r = 0; r < rows; ++r) {
        for (int c : columns) {
            const QModelIndex index = model->index(r, c, root);
            const QRect cell = view->visualRect(index);
            if (cell.isEmpty() || cell.top() < visible.top() || cell.bottom() > visible.bottom() ||
                cell.left() >= visible.right())
                continue;
            const QString text = index.data(Qt::DisplayRole).toString();
            if (text.isEmpty())
                continue;
            QStyleOptionViewItem opt;
            opt.initFrom(view);
            opt.widget = view;
            opt.rect = cell;
            opt.font = view->font();
            opt.decorationSize = decoration;
            opt.textElideMode = view->textElideMode();
            opt.displayAlignment = Qt::AlignLeft | Qt::AlignVCenter;
            const QSize need = view->itemDelegateForIndex(index)->sizeHint(opt, index);
            // Where the style draws the text: after the item's padding and icon.
            opt.text = text;
            opt.features |= QStyleOptionViewItem::HasDisplay;
            if (!index.data(Qt::DecorationRole).isNull())
                opt.features |= QStyleOptionViewItem::HasDecoration;
            const QRect room =
                view->style()->subElementRect(QStyle::SE_ItemViewItemText, &opt, view).intersected(visible);
            Layout l = layoutLine(opt.font, text, room, opt.displayAlignment);
            l.needed = need;
            l.fits = need.width() <= cell.width() + kSlack || !index.data(Qt::ToolTipRole).toString().isEmpty();
            out << shown(viewport, window, text, room, l, QStringLiteral("item %1,%2").arg(r).arg(c));
        }
    }
    return out;
}

QList<ShownText> ofMenu(QMenu *menu, QWidget *window)
{
    QList<ShownText> out;
    const bool wideEnough = menu->width() >= menu->sizeHint().width();
    for (QAction *action : menu->actions()) {
        if (!action->isVisible() || action->isSeparator() || action->text().isEmpty())
            continue;
        QRect room = menu->actionGeometry(action);
        // The check column of a checkable item is not text.
        if (action->isCheckable())
            room.setLeft(room.left() + 20);
        const QString text = withoutMnemonics(action->text());
        Layout l = layoutLine(menu->font(), text, room, Qt::AlignLeft | Qt::AlignVCenter);
        l.fits = wideEnough;
        l.drawn = room;
        out << shown(menu, window, text, room, l, QStringLiteral("menu item"));
    }
    return out;
}

QList<ShownText> ofPalette(PolarPaletteWidget *palette, QWidget *window)
{
    QList<ShownText> out;
    const QRect inside = palette->rect();
    for (const PolarPaletteWidget::Caption &caption : palette->captions()) {
        Layout l;
        l.needed = caption.rect.size();
        l.fits = inside.contains(caption.rect);
        l.drawn = caption.rect & inside;
        out << shown(palette, window, caption.text, inside, l, QStringLiteral("caption"));
    }
    return out;
}
} // namespace

QList<ShownText> TextFinder::ofWidget(QWidget *w, QWidget *window)
{
    if (auto *label = qobject_cast<QLabel *>(w))
        return ofLabel(label, window);
    if (auto *button = qobject_cast<QPushButton *>(w))
        return button->text().isEmpty() ? QList<ShownText>() : ofPushButton(button, window);
    if (qobject_cast<QCheckBox *>(w) || qobject_cast<QRadioButton *>(w)) {
        auto *button = static_cast<QAbstractButton *>(w);
        return button->text().isEmpty() ? QList<ShownText>() : ofCheckButton(button, window);
    }
    if (auto *combo = qobject_cast<QComboBox *>(w))
        return ofCombo(combo, window);
    if (auto *edit = qobject_cast<QLineEdit *>(w))
        return ofLineEdit(edit, window);
    if (auto *bar = qobject_cast<QProgressBar *>(w))
        return ofProgressBar(bar, window);
    if (auto *header = qobject_cast<QHeaderView *>(w))
        return ofHeader(header, window);
    if (auto *view = qobject_cast<QAbstractItemView *>(w))
        return ofItemView(view, window);
    if (auto *menu = qobject_cast<QMenu *>(w))
        return ofMenu(menu, window);
    if (auto *palette = qobject_cast<PolarPaletteWidget *>(w))
        return ofPalette(palette, window);
    return {};
}

QList<ShownText> TextFinder::find(QWidget *window)
{
    QList<ShownText> out = ofWidget(window, window);
    for (QWidget *w : window->findChildren<QWidget *>()) {
        if (w->window() != window || !w->isVisibleTo(window) || w->width() < 2 || w->height() < 2)
            continue;
        out << ofWidget(w, window);
    }
    return out;
}
