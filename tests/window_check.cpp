#include "window_check.h"

#include "pixel_contrast.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>

namespace {
// Pixels between a caption's ink and the window's edge.
constexpr int kEdgeClearance = 2;

QString one(const QWidget *w)
{
    QString s = QString::fromLatin1(w->metaObject()->className());
    if (!w->objectName().isEmpty())
        s += QLatin1Char('#') + w->objectName();
    return s;
}

// The widget's class and name, after its nearest named ancestor (or its window).
QString describe(const QWidget *w)
{
    QString d = one(w);
    for (const QWidget *p = w->parentWidget(); p; p = p->parentWidget()) {
        const bool named = !p->objectName().isEmpty() && !p->objectName().startsWith(QLatin1String("qt_"));
        if (named || p->isWindow())
            return one(p) + QStringLiteral(" > ") + d;
    }
    return d;
}

bool isScrollViewport(const QWidget *w)
{
    const auto *area = qobject_cast<const QAbstractScrollArea *>(w->parentWidget());
    return area && area->viewport() == w;
}

void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
        QCoreApplication::processEvents();
    }
}

// A popup opens where its combo or button is: scrolled into view first, as a user
// would.
void showInScrollArea(QWidget *w)
{
    for (QWidget *p = w->parentWidget(); p; p = p->parentWidget())
        if (auto *area = qobject_cast<QScrollArea *>(p)) {
            area->ensureWidgetVisible(w, 0, 20);
            settle();
            return;
        }
}

// Colours the tool's style sheets fix, readable but below 4.5 : 1: white on
// the accent and status colours (buttons, the refresh pill, the step indicators, the
// platform's selection highlight), and the grey of an idle step indicator. Kept as
// designed, and counted.
bool isDesignedPair(const QImage &shot, const QRect &area, QRgb background)
{
    struct Pair {
        QRgb ink, ground;
    };
    static const QList<Pair> pairs = {
        {qRgb(255, 255, 255), qRgb(0x1b, 0x89, 0xef)}, {qRgb(255, 255, 255), qRgb(0x1e, 0x90, 0xff)},
        {qRgb(255, 255, 255), qRgb(0x2f, 0x80, 0xf4)}, {qRgb(255, 255, 255), qRgb(0x4c, 0xaf, 0x50)},
        {qRgb(255, 255, 255), qRgb(0xf4, 0x43, 0x36)}, {qRgb(255, 255, 255), qRgb(0x30, 0x8c, 0xc6)},
        {qRgb(0x99, 0x99, 0x99), qRgb(0x33, 0x33, 0x33)}};
    const QRgb ground = qRgb(qRed(background), qGreen(background), qBlue(background));
    const QRect inside = area & shot.rect();
    for (const Pair &pair : pairs) {
        if (pair.ground != ground)
            continue;
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x)
                if (PixelContrast::ratio(shot.pixel(x, y), pair.ink) < 1.2)
                    return true;
    }
    return false;
}

QString rect(const QSize &s)
{
    return QStringLiteral("%1×%2").arg(s.width()).arg(s.height());
}
} // namespace

QString WindowCheck::ruleName(Rule rule)
{
    switch (rule) {
    case Rule::Clipped:
        return QStringLiteral("clipped");
    case Rule::Contrast:
        return QStringLiteral("contrast");
    case Rule::Overlap:
        return QStringLiteral("overlap");
    case Rule::OffScreen:
        return QStringLiteral("off screen");
    case Rule::StrayDialog:
        return QStringLiteral("stray dialog");
    }
    return QString();
}

WindowCheck::WindowCheck(const QString &shotDir, const QList<Allowance> &allowances)
    : m_shotDir(shotDir), m_allowances(allowances)
{
    QDir().mkpath(m_shotDir);
}

void WindowCheck::inspect(const QString &state, QWidget *window)
{
    ++m_states;
    settle();
    QSet<QString> seen;
    QScrollArea *area = nullptr;
    for (QScrollArea *candidate : window->findChildren<QScrollArea *>()) {
        if (candidate->window() == window && candidate->isVisibleTo(window) &&
            candidate->verticalScrollBar()->maximum() > 0) {
            area = candidate;
            break;
        }
    }
    if (!area) {
        checkOnce(state, window, &seen);
        return;
    }
    QScrollBar *bar = area->verticalScrollBar();
    const int kept = bar->value();
    const int step = qMax(40, area->viewport()->height() - 40);
    for (int position = 0;; position += step) {
        bar->setValue(qMin(position, bar->maximum()));
        settle();
        checkOnce(state, window, &seen);
        if (position >= bar->maximum())
            break;
    }
    bar->setValue(kept);
    settle();
}

void WindowCheck::inspectPopups(const QString &state, QWidget *window)
{
    for (QComboBox *combo : window->findChildren<QComboBox *>()) {
        if (combo->window() != window || !combo->isVisibleTo(window) || !combo->isEnabled() || combo->count() == 0)
            continue;
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        const QString key = QStringLiteral("combo|%1|%2").arg(combo->width()).arg(items.join(QLatin1Char('|')));
        if (m_popupsSeen.contains(key))
            continue;
        m_popupsSeen.insert(key);
        showInScrollArea(combo);
        combo->showPopup();
        QWidget *list = combo->view()->window();
        if (QTest::qWaitForWindowExposed(list))
            inspect(QStringLiteral("%1 / list of %2 (%3)").arg(state, describe(combo), combo->currentText()), list);
        combo->hidePopup();
    }
    for (QPushButton *button : window->findChildren<QPushButton *>()) {
        QMenu *menu = button->menu();
        if (!menu || button->window() != window || !button->isVisibleTo(window) || !button->isEnabled())
            continue;
        QStringList texts;
        for (QAction *a : menu->actions())
            texts << a->text() + (a->menu() ? QStringLiteral("{%1}").arg(a->menu()->actions().size()) : QString());
        const QString key = QStringLiteral("menu|%1").arg(texts.join(QLatin1Char('|')));
        if (m_popupsSeen.contains(key))
            continue;
        m_popupsSeen.insert(key);
        const QString name = QStringLiteral("%1 / menu of %2 (%3)").arg(state, describe(button), button->text());
        showInScrollArea(button);
        menu->popup(button->mapToGlobal(QPoint(0, button->height())));
        if (QTest::qWaitForWindowExposed(menu)) {
            inspect(name, menu);
            for (QAction *a : menu->actions()) {
                QMenu *sub = a->menu();
                if (!sub)
                    continue;
                sub->popup(menu->mapToGlobal(menu->actionGeometry(a).topRight()));
                if (QTest::qWaitForWindowExposed(sub))
                    inspect(QStringLiteral("%1 / %2").arg(name, a->text()), sub);
                sub->close();
            }
        }
        menu->close();
        settle();
    }
}

void WindowCheck::checkOnce(const QString &state, QWidget *window, QSet<QString> *seen)
{
    const int firstNew = m_violations.size();
    QList<QRect> frames;
    const QImage shot = window->grab().toImage();

    if (QScreen *screen = window->screen()) {
        const QRect onScreen = screen->availableGeometry();
        if (!onScreen.contains(window->frameGeometry()))
            add({Rule::OffScreen, state, describe(window), window->windowTitle(),
                 QStringLiteral("window %1,%2 %3 outside the screen's %4,%5 %6")
                     .arg(window->frameGeometry().x())
                     .arg(window->frameGeometry().y())
                     .arg(rect(window->frameGeometry().size()))
                     .arg(onScreen.x())
                     .arg(onScreen.y())
                     .arg(rect(onScreen.size())),
                 {}, {}},
                &frames, window->rect());
    }

    const QList<ShownText> texts = TextFinder::find(window);
    for (const ShownText &t : texts) {
        if (!t.widget || t.drawn.isEmpty() || t.text.trimmed().isEmpty())
            continue;
        QRect visible = window->rect();
        const QWidget *cutter = nullptr;
        bool scrolledAway = false;
        // Where the text can be seen: within every ancestor and the window. A scroll
        // area's viewport hides what another scroll position shows.
        for (QWidget *a = t.widget; a; a = a == window ? nullptr : a->parentWidget()) {
            const QRect area(a->mapTo(window, QPoint()), a->size());
            if (!cutter && !area.contains(t.drawn)) {
                cutter = a;
                scrolledAway = isScrollViewport(a);
            }
            visible &= area;
        }
        if (scrolledAway)
            continue;
        const QString name = describe(t.widget);
        const QString key = name + QLatin1Char('|') + t.what + QLatin1Char('|') + t.text;
        if (!seen->contains(key)) {
            seen->insert(key);
            ++m_widgets;
        }
        if (!t.fits)
            add({Rule::Clipped, state, name, t.text,
                 QStringLiteral("%1 needs %2 px, has %3").arg(t.what, rect(t.needed), rect(t.room.size())), {}, {}},
                &frames, t.room);
        if (cutter && cutter != t.widget.data())
            add({Rule::Clipped, state, name, t.text, QStringLiteral("cut by %1").arg(describe(cutter)), {}, {}},
                &frames, t.drawn);
        // The window's outline runs along its edge: a caption's ink keeps clear of it.
        else if ((t.what == QLatin1String("label") || t.what == QLatin1String("button")) &&
                 !window->rect().adjusted(kEdgeClearance, kEdgeClearance, -kEdgeClearance, -kEdgeClearance)
                      .contains(t.drawn))
            add({Rule::Clipped, state, name, t.text, QStringLiteral("touches the window's edge"), {}, {}}, &frames,
                t.drawn);
        if (t.widget->isEnabled()) {
            QRgb background = 0, ink = 0;
            const QRect sample = t.drawn.adjusted(-2, -2, 2, 2) & visible;
            const double ratio = PixelContrast::ofText(shot, sample, &background, &ink);
            if (ratio > 0 && ratio < PixelContrast::kMinimumRatio && isDesignedPair(shot, sample, background))
                m_designed.insert(QColor(background).name());
            else if (ratio > 0 && ratio < PixelContrast::kMinimumRatio)
                add({Rule::Contrast, state, name, t.text,
                     QStringLiteral("%1 : 1, %2 on %3")
                         .arg(ratio, 0, 'f', 2)
                         .arg(QColor(ink).name(), QColor(background).name()),
                     {}, {}},
                    &frames, t.drawn);
        }
        // Covered by a sibling (of the widget or of an ancestor) painted above it.
        for (QWidget *a = t.widget; a && a != window; a = a->parentWidget()) {
            const QObjectList &siblings = a->parentWidget()->children();
            for (qsizetype k = siblings.indexOf(a) + 1; k < siblings.size(); ++k) {
                auto *s = qobject_cast<QWidget *>(siblings[k]);
                if (!s || s->isWindow() || !s->isVisibleTo(window))
                    continue;
                const QRect over = QRect(s->mapTo(window, QPoint()), s->size()) & t.drawn;
                // Wholly under an opaque sibling, a text is replaced rather than spoilt.
                if (over.width() > 1 && over.height() > 1 && over != t.drawn)
                    add({Rule::Overlap, state, name, t.text, QStringLiteral("partly covered by %1").arg(describe(s)),
                         {}, {}},
                        &frames, over);
            }
        }
    }
    // The captions a widget paints itself must not run into each other.
    for (int i = 0; i < texts.size(); ++i)
        for (int j = i + 1; j < texts.size(); ++j)
            if (texts[i].what == QLatin1String("caption") && texts[j].widget == texts[i].widget &&
                texts[j].what == texts[i].what && texts[i].drawn.intersects(texts[j].drawn))
                add({Rule::Overlap, state, describe(texts[i].widget), texts[i].text,
                     QStringLiteral("runs into \"%1\"").arg(texts[j].text), {}, {}},
                    &frames, texts[i].drawn & texts[j].drawn);

    if (m_violations.size() > firstNew || m_shotAll) {
        const QString path = saveShot(state, shot, frames);
        for (qsizetype i = firstNew; i < m_violations.size(); ++i)
            m_violations[i].shot = path;
    }
}

void WindowCheck::add(Violation v, QList<QRect> *frames, const QRect &where)
{
    const QString key = ruleName(v.rule) + v.state + v.widget + v.text + v.detail.left(12);
    if (m_reported.contains(key))
        return;
    m_reported.insert(key);
    v.allowedBecause = allowance(v);
    m_violations << v;
    frames->append(where);
}

QString WindowCheck::allowance(const Violation &v) const
{
    for (const Allowance &a : m_allowances)
        if (a.rule == v.rule && v.state.contains(a.state) && v.widget.contains(a.widget) && v.text.contains(a.text))
            return a.reason;
    return QString();
}

void WindowCheck::addStrayDialog(const QString &where, const QString &line)
{
    Violation v{Rule::StrayDialog, QStringLiteral("sources"), where, line.trimmed(),
                QStringLiteral("a file dialog or message box made outside src/widgets/dialogs"), {}, {}};
    v.allowedBecause = allowance(v);
    m_violations << v;
}

int WindowCheck::failures() const
{
    int n = 0;
    for (const Violation &v : m_violations)
        n += v.allowedBecause.isEmpty() ? 1 : 0;
    return n;
}

QString WindowCheck::saveShot(const QString &state, const QImage &shot, const QList<QRect> &frames)
{
    QImage marked = shot.convertToFormat(QImage::Format_ARGB32);
    QPainter p(&marked);
    p.setPen(QPen(Qt::red, 2));
    for (const QRect &r : frames)
        p.drawRect(r.adjusted(-1, -1, 0, 0));
    p.end();
    QString name = state;
    name.replace(QRegularExpression(QStringLiteral("[^\\w\\-]+")), QStringLiteral("_"));
    const QString path = QDir(m_shotDir).filePath(QStringLiteral("%1-%2.png").arg(++m_shots, 4, 10, QLatin1Char('0'))
                                                      .arg(name.left(80)));
    marked.save(path);
    return path;
}

QString WindowCheck::report(const QString &language) const
{
    int allowed = 0;
    for (const Violation &v : m_violations)
        allowed += v.allowedBecause.isEmpty() ? 0 : 1;
    QStringList lines;
    lines << QStringLiteral("%1: %2 states × %3 widgets, %4 violations (%5 more allowed, mended separately)")
                 .arg(language)
                 .arg(m_states)
                 .arg(m_widgets)
                 .arg(failures())
                 .arg(allowed);
    for (bool allowedOnes : {false, true}) {
        for (const Violation &v : m_violations) {
            if (v.allowedBecause.isEmpty() == allowedOnes)
                continue;
            lines << QStringLiteral("  %1[%2] %3 | %4 | \"%5\" | %6%7")
                         .arg(allowedOnes ? QStringLiteral("allowed ") : QString(), ruleName(v.rule), v.state,
                              v.widget, v.text.left(60), v.detail,
                              v.shot.isEmpty() ? QString() : QStringLiteral(" | ") + v.shot);
        }
    }
    if (!m_designed.isEmpty()) {
        QStringList pairs = m_designed.values();
        pairs.sort();
        lines << QStringLiteral("text on grounds whose colours the style sheets fix, kept as written: %1")
                     .arg(pairs.join(QStringLiteral(", ")));
    }
    lines << QStringLiteral("allow-list:");
    for (const Allowance &a : m_allowances)
        lines << QStringLiteral("  [%1] state ~ \"%2\", widget ~ \"%3\", text ~ \"%4\": %5")
                     .arg(ruleName(a.rule), a.state, a.widget, a.text, a.reason);
    return lines.join(QLatin1Char('\n'));
}
